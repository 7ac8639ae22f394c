#pragma once

// Names of the character's bones, parts and motions. The model and motion
// files are code-page-932 text, so the Japanese names are kept as byte strings
// with the readable text beside them.
namespace tavo::chara::names {

// Bones (material names; "[]" marks a mirrored pair).
inline constexpr const char* kCenter = "\x8f\x64\x90\x53";      /* 重心 */
inline constexpr const char* kTrunk = "\x93\xb7";               /* 胴 */
inline constexpr const char* kFace = "\x8a\xe7";                /* 顔 */
inline constexpr const char* kEar1 = "\x8e\xa8\x31[]";          /* 耳1[] */
inline constexpr const char* kEar2 = "\x8e\xa8\x32[]";          /* 耳2[] */
inline constexpr const char* kEar3 = "\x8e\xa8\x33[]";          /* 耳3[] */
inline constexpr const char* kUpperArm = "\x8f\xe3\x98\x72[]";  /* 上腕[] */
inline constexpr const char* kForearm = "\x91\x4f\x98\x72[]";   /* 前腕[] */
inline constexpr const char* kFist = "\x8c\x9d[]";              /* 拳[] */
inline constexpr const char* kThigh = "\x82\xe0\x82\xe0[]";     /* もも[] */
inline constexpr const char* kShin = "\x82\xb7\x82\xcb[]";      /* すね[] */
inline constexpr const char* kShoe = "\x82\xad\x82\xc2[]";      /* くつ[] */
inline constexpr const char* kHem = "\x83\x58\x83\x5c";         /* スソ (second byte of ソ is 0x5C) */
inline constexpr const char* kPole = "\x8a\xc6";                /* 竿 */
inline constexpr const char* kLantern = "\x93\x94";             /* 灯 */

// Textured and coloured surface materials.
inline constexpr const char* kSkinMaterial = "tavo";
inline constexpr const char* kNoseMaterial = "\x95\x40";            /* 鼻 */
inline constexpr const char* kScarfMaterial = "\x82\xa6\x82\xe8";   /* えり */
inline constexpr const char* kShoeMaterial = "\x8c\x43";            /* 靴 */
inline constexpr const char* kWoodMaterial = "\x96\xd8";            /* 木 */
inline constexpr const char* kIronMaterial = "\x8b\xe0\x8b\xef";    /* 金具 */
inline constexpr const char* kHandMaterial = "\x94\xa7";            /* 肌 */
inline constexpr const char* kCapMaterial = "\x96\x58\x8e\x71";     /* 帽子 */

// Objects: rigid parts are "m<part>-<bone>", skinned ones "sdef:<name>" with
// anchors "anchor<n>|<name>".
inline constexpr const char* kBoneObject = "bone";
inline constexpr const char* kEarLeft = "\x8e\xa8L";                /* 耳L */
inline constexpr const char* kEarRight = "\x8e\xa8R";               /* 耳R */
inline constexpr const char* kArmLeft = "\x98\x72L";                /* 腕L */
inline constexpr const char* kArmRight = "\x98\x72R";               /* 腕R */
inline constexpr const char* kLegLeft = "\x8b\x72L";                /* 脚L */
inline constexpr const char* kLegRight = "\x8b\x72R";               /* 脚R */
inline constexpr const char* kHeadPart = "m\x8a\xe7-\x8a\xe7";      /* m顔-顔 */
inline constexpr const char* kNosePart = "m\x95\x40-\x8a\xe7";      /* m鼻-顔 */
inline constexpr const char* kCapPart = "m\x96\x58\x8e\x71-\x8a\xe7";  /* m帽子-顔 */
inline constexpr const char* kTrunkPart = "m\x93\xb7-\x93\xb7";     /* m胴-胴 */
inline constexpr const char* kScarfPart = "m\x82\xa6\x82\xe8-\x93\xb7";  /* mえり-胴 */
inline constexpr const char* kHipPart = "m\x8d\x98-\x8f\x64\x90\x53";    /* m腰-重心 */
inline constexpr const char* kTailPart = "m\x82\xb5\x82\xc1\x82\xdb-\x8f\x64\x90\x53";  /* mしっぽ-重心 */
inline constexpr const char* kHemPart = "m\x83\x58\x83\x5c-\x83\x58\x83\x5c";  /* mスソ-スソ */
inline constexpr const char* kHandLeftPart = "mL\x8e\xe8-\x8c\x9d";      /* mL手-拳 */
inline constexpr const char* kHandRightPart = "mR\x8e\xe8-\x8c\x9d";     /* mR手-拳 */
inline constexpr const char* kShoeLeftPart = "mL\x8c\x43-\x82\xad\x82\xc2";   /* mL靴-くつ */
inline constexpr const char* kShoeRightPart = "mR\x8c\x43-\x82\xad\x82\xc2";  /* mR靴-くつ */
inline constexpr const char* kPolePart = "m\x8a\xc6-\x8a\xc6";      /* m竿-竿 */
inline constexpr const char* kLanternPart =
    "m\x83\x89\x83\x93\x83\x5e\x83\x93-\x93\x94";                    /* mランタン-灯 */

// Motions, in the order the program expects them.
inline constexpr const char* kHop = "\x82\xd2\x82\xe5\x82\xf1";               /* ぴょん */
inline constexpr const char* kTwirl = "\x82\xad\x82\xe9\x82\xad\x82\xe9";     /* くるくる */
inline constexpr const char* kDance = "\x82\xa8\x82\xc7\x82\xe8";             /* おどり */
inline constexpr const char* kSwing = "\x82\xa0\x82\xa9\x82\xe8\x97\x68\x82\xe7\x82\xb5";  /* あかり揺らし */
inline constexpr const char* kPose = "\x82\xab\x82\xdf\x83\x7c\x81\x5b\x83\x59";  /* きめポーズ */
inline constexpr const char* kPositionTrack = "\x88\xca\x92\x75";            /* 位置 */

}  // namespace tavo::chara::names
