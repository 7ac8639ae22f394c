#include "formats/metasequoia/motion_reader.h"

#include <gtest/gtest.h>

#include <string>

#include "resources/memory_stream.h"
#include "skeleton/motion_binding.h"
#include "skeleton/skeleton.h"

namespace tavo {
namespace {

// Code-page-932 names: ネギ振り, 軸, ツインテール1[L], ツインテール1, j_軸.
const std::string kMotionName = "\x83\x6c\x83\x4d\x90\x55\x82\xe8";
const std::string kAxis = "\x8e\xb2";
const std::string kTail = "\x83\x63\x83\x43\x83\x93\x83\x65\x81\x5b\x83\x8b" "1";
const std::string kTailLeft = kTail + "[L]";
const std::string kAxisTarget = "j_" + kAxis;

std::string firstMotion() {
    return "Motion {\n"
           "\tname = \"" + kMotionName + "\"\n"
           "\tendframe = 48\n"
           "\tloop = 1\n"
           "\tVector {\n"
           "\t\tname = \"" + kAxisTarget + "\"\n"
           "\t\tclass = \"Locate\"\n"
           "\t\tmember = \"pos\"\n"
           "\t\tcurve = \"spline\"\n"
           "\t\t0 (0.000000 1.000000 2.000000)\n"
           "\t\t24 (0.5 -1.5 2)\n"
           "\t}\n"
           "\tQuaternion {\n"
           "\t\tname = \"" + kAxis + "\"\n"
           "\t\tclass = \"Bone\"\n"
           "\t\tmember = \"rot\"\n"
           "\t\tcurve = \"linear\"\n"
           "\t\t0 (0.000000 0.000000 0.000000 0.000000)\n"
           "\t\t10 (0 0 0 1)\n"
           "\t\t20 (0 0 0 -1)\n"
           "\t\t30 (0 0 0 2)\n"
           "\t}\n"
           "\tStray words\n"
           "\tQuaternion {\n"
           "\t\tname = \"" + kTailLeft + "\"\n"
           "\t\tclass = \"Bone\"\n"
           "\t\tmember = \"rot\"\n"
           "\t\tcurve = \"spline\"\n"
           "\t\t5 (0 3 0 4)\n"
           "\t}\n"
           "}\n";
}

std::string secondMotion() {
    return "Motion {\n"
           "\tname = \"two\"\n"
           "\tendframe = 29\n"
           "\tloop = 0\n"
           "\tQuaternion {\n"
           "\t\tname = \"nobody\"\n"
           "\t\tclass = \"Bone\"\n"
           "\t\tmember = \"rot\"\n"
           "\t\tcurve = \"spline\"\n"
           "\t\t0 (0 0 0 1)\n"
           "\t}\n"
           "}\n";
}

std::string document() {
    return "Mikoto Motion Ver 2\n" + firstMotion() + secondMotion() + "Eof\n";
}

Skeleton bonesNamed(std::initializer_list<std::string> names) {
    Skeleton skeleton;
    for (const std::string& name : names) {
        Bone bone;
        bone.name = name;
        skeleton.bones.push_back(bone);
    }
    return skeleton;
}

bool read(const std::string& text, Skeleton& skeleton) {
    MemoryStream stream;
    stream.attach(text.data(), static_cast<int32_t>(text.size()));
    MotionReader reader;
    std::vector<Motion> motions;
    const bool read = reader.readMotionSet(&stream, motions);
    attachMotions(skeleton, std::move(motions));
    return read;
}

void expectQuaternion(const Quaternion& q, float x, float y, float z, float w) {
    EXPECT_FLOAT_EQ(q.x, x);
    EXPECT_FLOAT_EQ(q.y, y);
    EXPECT_FLOAT_EQ(q.z, z);
    EXPECT_FLOAT_EQ(q.w, w);
}

TEST(MotionReaderTest, ReadsMotionsTracksAndKeys) {
    for (const std::string& text : {document(), [] {
             std::string crlf;
             for (char c : document()) {
                 if (c == '\n') crlf += '\r';
                 crlf += c;
             }
             return crlf;
         }()}) {
        Skeleton skeleton = bonesNamed({"root", kAxis});
        ASSERT_TRUE(read(text, skeleton));
        ASSERT_EQ(skeleton.motions.size(), 2u);

        const Motion& motion = skeleton.motions[0];
        EXPECT_EQ(motion.name, kMotionName);
        EXPECT_EQ(motion.endFrame, 48);
        EXPECT_EQ(motion.loop, 1);
        ASSERT_EQ(motion.vectorTracks.size(), 1u);
        const VectorTrack& position = motion.vectorTracks[0];
        EXPECT_EQ(position.name, kAxisTarget);
        EXPECT_EQ(position.keyCount, 2);
        EXPECT_EQ(position.frames, (std::vector<int32_t>{0, 24}));
        EXPECT_EQ(position.values[1].x, 0.5f);
        EXPECT_EQ(position.values[1].y, -1.5f);
        EXPECT_EQ(position.values[0].z, 2.0f);

        ASSERT_EQ(motion.quaternionTracks.size(), 2u);  // the stray words are dropped
        const QuaternionTrack& rotation = motion.quaternionTracks[0];
        EXPECT_EQ(rotation.name, kAxis);
        EXPECT_EQ(rotation.boneIndex, 1);
        EXPECT_EQ(rotation.keyCount, 4);
        EXPECT_EQ(rotation.spline, 1);  // a "linear" curve line changes nothing
        EXPECT_EQ(rotation.frames, (std::vector<int32_t>{0, 10, 20, 30}));
        expectQuaternion(rotation.keys[0], 1, 0, 0, 0);  // all-zero key
        expectQuaternion(rotation.keys[1], 0, 0, 0, 1);
        expectQuaternion(rotation.keys[2], 0, 0, 0, 1);  // flipped into the hemisphere
        expectQuaternion(rotation.keys[3], 0, 0, 0, 1);  // normalised
        EXPECT_EQ(rotation.controlPoints.size(), 4u);

        const QuaternionTrack& single = motion.quaternionTracks[1];
        EXPECT_EQ(single.keyCount, 1);
        expectQuaternion(single.keys[0], 0, 0.6f, 0, 0.8f);
        EXPECT_TRUE(single.controlPoints.empty());

        EXPECT_EQ(skeleton.motions[1].name, "two");
        EXPECT_EQ(skeleton.motions[1].loop, 0);
        EXPECT_EQ(skeleton.motions[1].quaternionTracks[0].boneIndex, -1);
    }
}

TEST(MotionReaderTest, TracksBindToTheFirstBoneOfExactlyTheirName) {
    Skeleton skeleton = bonesNamed({kTail, kAxis, kTail + "[R]", kTailLeft, kAxis, kTailLeft});
    ASSERT_TRUE(read(document(), skeleton));
    const Motion& motion = skeleton.motions[0];
    EXPECT_EQ(motion.quaternionTracks[0].boneIndex, 1);  // two bones "軸": the lower index
    EXPECT_EQ(motion.quaternionTracks[1].boneIndex, 3);  // never the unsuffixed or [R] bone

    Skeleton empty;
    ASSERT_TRUE(read(document(), empty));
    EXPECT_EQ(empty.motions[0].quaternionTracks[0].boneIndex, -1);
}

TEST(MotionReaderTest, HeaderDecidesAndTheFirstOtherWordEndsTheSet) {
    struct Case {
        std::string text;
        bool ok;
        size_t motions;
    };
    const Case cases[] = {
        {"Mikoto Motion Ver 2\nEof\n", true, 0},
        {"Mikoto Motion Ver 2 and more text\r\n" + secondMotion() + "Eof\r\n", true, 1},
        {"Mikoto Motion Ver 2\n" + secondMotion() + "End\n" + secondMotion(), true, 1},
        {"Mikoto Motion Ver 2\n" + secondMotion() + "Eof\n" + secondMotion(), true, 1},
        {"Mikoto Motion Ver 3\n" + secondMotion() + "Eof\n", false, 0},
        {"mikoto Motion Ver 2\nEof\n", false, 0},
        {"Mikoto Motion Ver", false, 0},
        {"", false, 0},
    };
    for (const Case& c : cases) {
        Skeleton skeleton;
        EXPECT_EQ(read(c.text, skeleton), c.ok) << c.text;
        EXPECT_EQ(skeleton.motions.size(), c.motions) << c.text;
    }
}

TEST(MotionReaderTest, EveryPrefixKeepsTheMotionsCompletedSoFar) {
    const std::string text = document();
    const size_t headerEnd = std::string("Mikoto Motion Ver 2").size();
    const size_t firstEnd = text.find(secondMotion()) - 2;  // the first motion's "}"
    const size_t secondEnd = text.find("Eof") - 2;
    ASSERT_EQ(text[firstEnd], '}');
    ASSERT_EQ(text[secondEnd], '}');
    for (size_t cut = 0; cut <= text.size(); ++cut) {
        Skeleton skeleton = bonesNamed({kAxis});
        const bool ok = read(text.substr(0, cut), skeleton);
        EXPECT_EQ(ok, cut >= headerEnd) << "cut at " << cut;
        const size_t expected = cut > secondEnd ? 2u : cut > firstEnd ? 1u : 0u;
        ASSERT_EQ(skeleton.motions.size(), expected) << "cut at " << cut;
        if (expected > 0) {
            EXPECT_EQ(skeleton.motions[0].quaternionTracks.size(), 2u);
            EXPECT_EQ(skeleton.motions[0].quaternionTracks[0].boneIndex, 0);
        }
    }
}

TEST(MotionReaderTest, TheErrorRecordSaysWhereTheTextWasRefusedOrCut) {
    struct Case {
        std::string text;
        bool ok;
        std::string message;
    };
    const std::string cut = document().substr(0, document().find("\t\t24 (0.5"));
    const Case cases[] = {
        {document(), true, ""},
        {"Mikoto Motion Ver 3\nEof\n", false,
         "line 1: not a Mikoto motion text (the first line is not \"Mikoto Motion Ver 2\")"},
        {cut, true,
         "line 11: the data ends inside the motion that begins on line 2; the motions before it "
         "are kept"},
        {"Mikoto Motion Ver 2\r\n" + secondMotion(), true,
         "line 13: the motion set ends without its end word (Eof)"},
    };
    for (const Case& c : cases) {
        MemoryStream stream;
        stream.attach(c.text.data(), static_cast<int32_t>(c.text.size()));
        Skeleton skeleton;
        MotionReader reader;
        std::vector<Motion> motions;
        EXPECT_EQ(reader.readMotionSet(&stream, motions), c.ok);
        EXPECT_EQ(reader.error().describe(), c.message);
    }
}

TEST(MotionReaderTest, KeyNormalisationAndHemisphereAlignment) {
    expectQuaternion(normalizeKey(0, 0, 0, 0), 1, 0, 0, 0);
    expectQuaternion(normalizeKey(0, 0, 3, -4), 0, 0, 0.6f, -0.8f);
    // Tiny components whose squares vanish in float still normalise.
    expectQuaternion(normalizeKey(0, 1e-30f, 0, 0), 0, 1, 0, 0);

    std::vector<Quaternion> keys = {{0, 0, 0, 1}, {0, 0, 0, -1}, {0.6f, 0, 0, -0.8f},
                                    {0, 1, 0, 0}};
    alignHemispheres(keys);
    expectQuaternion(keys[1], 0, 0, 0, 1);
    expectQuaternion(keys[2], -0.6f, 0, 0, 0.8f);  // compared with the adjusted key 1
    expectQuaternion(keys[3], 0, 1, 0, 0);         // a dot product of 0 is left alone
}

}  // namespace
}  // namespace tavo

namespace tavo {
namespace {

// Every byte replaced in turn by bytes that steer the scanner: reading
// always ends, and every motion kept satisfies the track invariants.
TEST(MotionReaderTest, CorruptedTextsNeverHangOrBreakTheTrackInvariants) {
    const std::string original = document();
    const char replacements[] = {'}', '{', '"', '(', ')', '\n', '=', '-', '9', '\0'};
    for (size_t at = 0; at < original.size(); ++at) {
        for (char replacement : replacements) {
            std::string text = original;
            text[at] = replacement;
            Skeleton skeleton = bonesNamed({kAxis});
            read(text, skeleton);
            for (const Motion& motion : skeleton.motions) {
                for (const QuaternionTrack& track : motion.quaternionTracks) {
                    ASSERT_EQ(track.frames.size(), track.keys.size());
                    EXPECT_EQ(track.keyCount, static_cast<int32_t>(track.keys.size()));
                    EXPECT_EQ(track.controlPoints.size(), track.keys.size() < 2 ? 0 : track.keys.size());
                    for (size_t k = 1; k < track.keys.size(); ++k) {
                        EXPECT_GE(track.keys[k - 1].dot(track.keys[k]), 0.0f);
                    }
                }
                for (const VectorTrack& track : motion.vectorTracks) {
                    EXPECT_EQ(track.keyCount, static_cast<int32_t>(track.values.size()));
                }
            }
        }
    }
}

}  // namespace
}  // namespace tavo
