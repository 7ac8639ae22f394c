#pragma once

// Names of Fuwari's bones, parts, materials and motions, as the
// code-page-932 byte strings the model and motion files hold, with the
// readable text beside them.
namespace tavo::chara::fuwari::names {

// Bones (material names; "[]" marks a mirrored pair).
inline constexpr const char* kWaist = "\x8d\x98";  /* 腰 */
inline constexpr const char* kChest = "\x8b\xb9";  /* 胸 */
inline constexpr const char* kHead = "\x93\xaa";  /* 頭 */
inline constexpr const char* kJaw = "\x89\xba\x9a{";  /* 下嘴 */
inline constexpr const char* kCrest1 = "\x8a\xa5\x31";  /* 冠1 */
inline constexpr const char* kCrest2 = "\x8a\xa5\x32";  /* 冠2 */
inline constexpr const char* kWing1 = "\x97\x83\x31[]";  /* 翼1[] */
inline constexpr const char* kWing2 = "\x97\x83\x32[]";  /* 翼2[] */
inline constexpr const char* kTail1 = "\x94\xf6\x31";  /* 尾1 */
inline constexpr const char* kTail2 = "\x94\xf6\x32";  /* 尾2 */
inline constexpr const char* kTail3 = "\x94\xf6\x33";  /* 尾3 */
inline constexpr const char* kThigh = "\x82\xe0\x82\xe0[]";  /* もも[] */
inline constexpr const char* kShank = "\x8br[]";  /* 脚[] */
inline constexpr const char* kToes = "\x8ew[]";  /* 指[] */

// Surface materials: the textured feathers and two plain colours.
inline constexpr const char* kBeakMaterial = "\x9a{";  /* 嘴 */
inline constexpr const char* kFootMaterial = "\x91\xab";  /* 足 */
inline constexpr const char* kFeatherMaterial = "fuwari";

// Objects: rigid parts are "m<part>-<bone>", skinned ones "sdef:<name>" with
// anchors "anchor<n>|<name>".
inline constexpr const char* kBodyPart = "\x91\xcc";  /* 体 */
inline constexpr const char* kCrestPart = "\x8a\xa5";  /* 冠 */
inline constexpr const char* kWingLeft = "\x97\x83L";  /* 翼L */
inline constexpr const char* kWingRight = "\x97\x83R";  /* 翼R */
inline constexpr const char* kTailPart = "\x94\xf6";  /* 尾 */
inline constexpr const char* kHeadPart = "m\x93\xaa-\x93\xaa";  /* m頭-頭 */
inline constexpr const char* kBeakPart = "m\x9a{-\x93\xaa";  /* m嘴-頭 */
inline constexpr const char* kJawPart = "m\x89\xba\x9a{-\x89\xba\x9a{";  /* m下嘴-下嘴 */
inline constexpr const char* kShankLeftPart = "mL\x8br-\x8br";  /* mL脚-脚 */
inline constexpr const char* kShankRightPart = "mR\x8br-\x8br";  /* mR脚-脚 */
inline constexpr const char* kToesLeftPart = "mL\x8ew-\x8ew";  /* mL指-指 */
inline constexpr const char* kToesRightPart = "mR\x8ew-\x8ew";  /* mR指-指 */

// Motions, in the order the program expects them (the fourth is played).
inline constexpr const char* kPeck = "\x82\xc2\x82\xa2\x82\xce\x82\xdd";  /* ついばみ */
inline constexpr const char* kFlap = "\x82\xcd\x82\xce\x82\xbd\x82\xab";  /* はばたき */
inline constexpr const char* kLookAround = "\x82\xab\x82\xe5\x82\xeb\x82\xab\x82\xe5\x82\xeb";  /* きょろきょろ */
inline constexpr const char* kSing = "\x82\xb3\x82\xa6\x82\xb8\x82\xe8";  /* さえずり */
inline constexpr const char* kSpin = "\x82\xad\x82\xe9\x82\xe8\x82\xf1";  /* くるりん */

}  // namespace tavo::chara::fuwari::names
