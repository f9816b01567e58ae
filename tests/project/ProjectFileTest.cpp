#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "Fixtures.h"
#include "project/CM240Doc.h"
#include "project/HiddenGroups.h"
#include "project/ModelTable.h"
#include "res/ProjectTexts.h"

namespace pv {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes toBytes(const std::string& s) {
    return Bytes(s.begin(), s.end());
}
std::string toString(const Bytes& b) {
    return std::string(b.begin(), b.end());
}

void putU32(Bytes& b, uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void putText(Bytes& b, const std::string& s) {
    putU32(b, static_cast<uint32_t>(s.size()));
    b.insert(b.end(), s.begin(), s.end());
}
void patchU32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// Size of the fixed part of the PLC section.
constexpr size_t kPlcFixed = 4 + 1280 + 1280 + 200 + 80 + 160 + 160 + 160 + 80 + 80;

class ProjectFile : public ::testing::Test {
protected:
    void SetUp() override { test::WriteFixtureData(data); }

    // A new document for a model, as New makes it.
    CM240Doc newDoc(uint32_t model = 0x35001) {
        CM240Doc doc(data.dir());
        doc.OnNewDocument();
        doc.ApplyModelDefaultsFile(model, true);
        return doc;
    }
    ProjectFrameItems frameFor(uint32_t model) {
        ProjectFrameItems f;
        f.modelCode = model;
        f.modelName = ModelNameForCode(model);
        return f;
    }
    // A project with something in every section.
    void fillProject(CM240Doc& doc, ProjectFrameItems& frame) {
        doc.table.record("00-05")->setValue = "3";
        doc.table.record("01-01")->setValue = "400.00";
        doc.plc.setContact(0, 0, 'I', 1);
        doc.plc.setContact(0, 1, 'm', 0x0F);
        doc.plc.setCoil(0, kCoilOutput, 'Q', 1);
        doc.plc.setBlockCoil(5, "AS", 3);
        doc.plc.cellText[1][3] = kGapLinkDown;
        doc.plc.linkMarks[2][2] = kLinkMark;
        doc.plc.commentFlags[0] = 1;
        doc.plc.setCommentText(0, 0, std::string(51, 'c'));
        doc.plc.setCommentText(0, 3, "last line");
        doc.plc.normalizeCommentFlags();
        doc.plc.timers[2][2] = 0x12;
        doc.plc.timers[7][19] = 0xEE;  // a byte the program does not interpret survives too
        doc.plc.counters[4][2] = 0x12;
        doc.plc.setWire(3, 2);
        doc.plc.setDifferential(4, 0, true);
        doc.plc.symbols.push_back({1, {{1, "Start button"}, {2, "Stop"}}});
        doc.plc.symbols.push_back({9, {{4, std::string(1999, 's')}}});
        PrintTitleBlock::set(doc.titleBlock.title, "Pump station");
        PrintTitleBlock::set(doc.titleBlock.note3, "third note");
        frame.graphChannels[0] = {3, "Output frequency", "60.00", "-5.00"};
        frame.graphChannels[3].selection = 7;
        doc.plc.computeUsedBlocks();
    }

    test::TempDir data;
    test::TempDir work;
};

// The bytes a new project must have, built from the layout rather than from the writer.
Bytes expectedNewProject(uint32_t model, const std::string& name, const ParamTable& table) {
    Bytes b;
    putU32(b, 2);
    putU32(b, model);
    putText(b, name);
    putU32(b, 0);  // comment count
    for (int r = 0; r < 80; ++r)
        for (int c = 0; c < 16; ++c) b.push_back(c == 3 || c == 7 || c == 11 ? 0 : ' ');
    b.insert(b.end(), 1280 + 200, 0);  // link marks, comment flags
    for (int n = 1; n <= 8; ++n)
        b.insert(b.end(), {uint8_t(0x80 | n), 0x10, 0, 0, 0, 0x4C, 0x6F, 0x4C, 0x6F, 0});
    for (int n = 1; n <= 8; ++n) {
        b.insert(b.end(), {uint8_t(0x80 | n), 0x11, 0, 0, 0x4C, 0x6F, 0, 0x71});
        b.insert(b.end(), 12, 0);
    }
    for (int n = 1; n <= 8; ++n) {
        b.insert(b.end(), {0, 0x10, 0xB1, 0, 0, 0, 0, 1});
        b.insert(b.end(), 12, 0);
    }
    for (int n = 1; n <= 8; ++n) {
        b.insert(b.end(), {uint8_t(0x80 | n), 0, 0, 0, 0, 0, 0, 0, 0, 0x50, 0, 0, 0x50, 0x4C, 0x6F,
                           0x4C, 0x6F});
        b.insert(b.end(), 3, 0);
    }
    for (int n = 1; n <= 4; ++n) {
        b.push_back(uint8_t(0x80 | n));
        b.insert(b.end(), 19, 0);
    }
    for (int n = 1; n <= 4; ++n) {
        b.insert(b.end(), {uint8_t(0x80 | n), 0, 0, 1, 0, 0, 1, 0, 0, 1});
        b.insert(b.end(), 10, 0);
    }
    putU32(b, 0);                                         // symbol groups
    for (int slot = 0; slot < 800; ++slot) putU32(b, 0);  // comment texts
    putU32(b, static_cast<uint32_t>(table.groups.size()));
    for (const auto& g : table.groups)
        for (const auto& r : g.params) putU32(b, static_cast<uint32_t>(r.defined));
    putU32(b, static_cast<uint32_t>(table.groups.size()));
    for (const auto& g : table.groups) {
        putU32(b, 100);
        for (const auto& r : g.params) putText(b, r.setValue);
    }
    b.insert(b.end(), 248, 0);
    for (int ch = 0; ch < 4; ++ch) {
        putU32(b, 0);
        putText(b, "NONE");
        putText(b, "10.00");
        putText(b, "0.00");
    }
    return b;
}

TEST_F(ProjectFile, NewProjectHasTheGoldenBytes) {
    CM240Doc doc = newDoc(0x35001);
    ASSERT_TRUE(doc.SaveProject(work.file("new.nf3"), frameFor(0x35001)));
    const Bytes bytes = toBytes(test::ReadFile(work.file("new.nf3")));
    ASSERT_GE(bytes.size(), 8u);
    EXPECT_EQ((Bytes{bytes.begin(), bytes.begin() + 4}), (Bytes{2, 0, 0, 0}));
    EXPECT_EQ((Bytes{bytes.begin() + 4, bytes.begin() + 8}), (Bytes{0x01, 0x50, 0x03, 0x00}));
    EXPECT_EQ(doc.table.record("00-14")->setValue, test::FixtureModelValue(0, 0));
    const Bytes expected = expectedNewProject(0x35001, "N350-2P5-H", doc.table);
    ASSERT_EQ(bytes.size(), expected.size());
    EXPECT_EQ(bytes, expected);
}

TEST_F(ProjectFile, SaveOpenSaveIsByteIdentical) {
    CM240Doc doc = newDoc(0x35021);
    ProjectFrameItems frame = frameFor(0x35021);
    fillProject(doc, frame);
    ASSERT_TRUE(doc.SaveProject(work.file("a.nf3"), frame));

    CM240Doc reopened(data.dir());
    ProjectFrameItems frame2;
    ASSERT_TRUE(reopened.LoadProject(work.file("a.nf3"), frame2));
    EXPECT_EQ(frame2.modelCode, 0x35021u);
    EXPECT_EQ(frame2.modelName, "N350-401-H");
    EXPECT_EQ(frame2.graphChannels, frame.graphChannels);
    EXPECT_EQ(reopened.plc, doc.plc);
    EXPECT_EQ(reopened.titleBlock, doc.titleBlock);
    EXPECT_EQ(reopened.plc.commentText(0, 0), std::string(51, 'c'));
    EXPECT_EQ(reopened.table.record("01-01")->setValue, "400.00");
    EXPECT_EQ(reopened.table.applyModelDefaultsToSetValues, 0);
    for (size_t g = 0; g < doc.table.groups.size(); ++g)
        for (int i = 0; i < 100; ++i)
            ASSERT_EQ(reopened.table.groups[g].params[i].setValue,
                      doc.table.groups[g].params[i].setValue);
    ASSERT_TRUE(reopened.SaveProject(work.file("b.nf3"), frame2));
    EXPECT_EQ(test::ReadFile(work.file("a.nf3")), test::ReadFile(work.file("b.nf3")));
}

TEST_F(ProjectFile, ReadsVersionsZeroToTwoAndRefusesThreeAndLater) {
    CM240Doc doc = newDoc();
    ProjectFrameItems frame = frameFor(0x35001);
    fillProject(doc, frame);
    Bytes image = doc.EncodeProject(frame);
    struct Case {
        int32_t version;
        bool reads;
        const char* error;
    };
    const Case cases[] = {{0, true, ""},
                          {1, true, ""},
                          {2, true, ""},
                          {3, false, text::kVersionTooNew},
                          {100, false, text::kVersionTooNew},
                          {INT32_MAX, false, text::kVersionTooNew},
                          // The field is signed: these are below 3 and read like version 2.
                          {-1, true, ""},
                          {INT32_MIN, true, ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.version);
        patchU32(image, 0, static_cast<uint32_t>(c.version));
        test::WriteFile(work.file("v.nf3"), toString(image));
        CM240Doc target = newDoc(0x35003);
        const ParamTable before = target.table;
        ProjectFrameItems f = frameFor(0x35003);
        EXPECT_EQ(target.LoadProject(work.file("v.nf3"), f), c.reads);
        if (c.reads) {
            EXPECT_EQ(f.modelCode, 0x35001u);
            EXPECT_EQ(target.plc, doc.plc);
        } else {
            EXPECT_EQ(target.lastError, c.error);
            EXPECT_EQ(target.table, before);
            EXPECT_EQ(f, frameFor(0x35003));
        }
    }
}

TEST_F(ProjectFile, MissingFileSaysCanNotOpen) {
    CM240Doc doc = newDoc();
    ProjectFrameItems f;
    EXPECT_FALSE(doc.LoadProject(work.file("absent.nf3"), f));
    EXPECT_EQ(doc.lastError, text::kCannotOpenFile);
}

TEST_F(ProjectFile, SetValuesOnlyWhereTheWriterHadTheRecordDefined) {
    CM240Doc doc = newDoc();
    doc.table.record("00-05")->setValue = "77";
    doc.table.record("00-05")->defined = 0;      // the writer's table did not define 00-05
    doc.table.record("00-50")->setValue = "88";  // a filler: not stored as defined either
    ASSERT_TRUE(doc.SaveProject(work.file("d.nf3"), frameFor(0x35001)));
    CM240Doc reopened(data.dir());
    ProjectFrameItems f;
    ASSERT_TRUE(reopened.LoadProject(work.file("d.nf3"), f));
    EXPECT_EQ(reopened.table.record("00-05")->setValue, "5");
    EXPECT_EQ(reopened.table.record("00-50")->setValue, "0");
    EXPECT_EQ(reopened.table.paramStored[0][5], 0);
    EXPECT_EQ(reopened.table.paramStored[0][4], 1);
}

TEST_F(ProjectFile, HiddenGroupsComeBackWithTheirValuesAndNothingBeyondThem) {
    CM240Doc doc = newDoc();
    // A table that carried the hidden groups 25..28 (the empty slot 24 and a stray group 29
    // too) when saved; each record holds its own code as set value.
    while (doc.table.groups.size() < 30) {
        const int gi = static_cast<int>(doc.table.groups.size());
        ParamGroup g = MakeFillerGroup(gi);
        for (int i = 0; i < kParamsPerGroup; ++i) {
            g.params[i].defined = 1;
            g.params[i].setValue = std::to_string(gi * 100 + i);
        }
        doc.table.groups.push_back(std::move(g));
    }
    doc.table.record("00-01")->setValue = "42";
    ASSERT_TRUE(doc.SaveProject(work.file("h.nf3"), frameFor(0x35001)));
    CM240Doc reopened(data.dir());
    ProjectFrameItems f;
    ASSERT_TRUE(reopened.LoadProject(work.file("h.nf3"), f));
    ASSERT_TRUE(HasHiddenGroups(reopened.table));
    EXPECT_EQ(reopened.table.groups.size(), 29u);  // 24 loaded, filler 24, hidden 25..28
    EXPECT_EQ(reopened.table.record("00-01")->setValue, "42");
    EXPECT_EQ(reopened.table.paramStored[24][0], 1);  // flags of group 24 fit the table
    EXPECT_EQ(reopened.table.groups[24].params[0].defined, 0);
    for (int g = kHiddenGroupFirst; g <= kHiddenGroupLast; ++g) {
        SCOPED_TRACE(g);
        const ParamRecord* first = reopened.table.record(g, 0);
        const ParamRecord* last = reopened.table.record(g, kHiddenGroupParams - 1);
        ASSERT_NE(first, nullptr);
        ASSERT_NE(last, nullptr);
        EXPECT_EQ(first->setValue, std::to_string(g * 100));
        EXPECT_EQ(last->setValue, std::to_string(g * 100 + kHiddenGroupParams - 1));
        EXPECT_EQ(reopened.table.groups[g].params[kHiddenGroupParams].defined, 0);
    }
}

TEST_F(ProjectFile, ProjectWithoutHiddenGroupsGetsNone) {
    CM240Doc doc = newDoc();
    ASSERT_TRUE(doc.SaveProject(work.file("n.nf3"), frameFor(0x35001)));
    CM240Doc reopened(data.dir());
    ProjectFrameItems f;
    ASSERT_TRUE(reopened.LoadProject(work.file("n.nf3"), f));
    EXPECT_FALSE(HasHiddenGroups(reopened.table));
    EXPECT_EQ(reopened.table.groups.size(), doc.table.groups.size());
}

TEST_F(ProjectFile, TruncatedFilesNeverChangeTheOpenProject) {
    // A small table keeps this exhaustive walk over every offset fast.
    test::TempDir small;
    test::WriteFixtureData(small, 2, 3);
    CM240Doc doc(small.dir());
    doc.OnNewDocument();
    ProjectFrameItems frame = frameFor(0x35002);
    fillProject(doc, frame);
    const Bytes image = doc.EncodeProject(frame);

    CM240Doc open(small.dir());
    open.OnNewDocument();
    open.table.record("00-02")->setValue = "open project";
    ProjectFrameItems openFrame = frameFor(0x35026);
    const CM240Doc before = open;
    const ProjectFrameItems frameBefore = openFrame;
    const std::string path = work.file("t.nf3");
    for (size_t len = 0; len < image.size(); ++len) {
        // Through the file for a sample of lengths, from memory for all of them.
        if (len % 1024 == 0 || len + 1 == image.size()) {
            test::WriteFile(path, std::string(image.begin(), image.begin() + len));
            ASSERT_FALSE(open.LoadProject(path, openFrame)) << len;
        } else {
            ASSERT_FALSE(open.LoadProjectImage(image.data(), len, openFrame)) << len;
        }
        ASSERT_EQ(open.lastError, text::kProjectFileDamaged) << len;
        ASSERT_EQ(open.table, before.table) << len;
        ASSERT_EQ(open.plc, before.plc) << len;
        ASSERT_EQ(open.titleBlock, before.titleBlock) << len;
        ASSERT_EQ(openFrame, frameBefore) << len;
    }
    test::WriteFile(path, toString(image));
    EXPECT_TRUE(open.LoadProject(path, openFrame));
}

TEST_F(ProjectFile, HostileLengthFieldsAreRefused) {
    CM240Doc doc = newDoc();
    ProjectFrameItems frame = frameFor(0x35001);
    fillProject(doc, frame);
    const Bytes image = doc.EncodeProject(frame);
    const size_t nameAt = 8;
    const size_t plcAt = nameAt + 4 + 10;
    const size_t symbolsAt = plcAt + kPlcFixed;
    const size_t firstEntryCountAt = symbolsAt + 4;
    const size_t plcEnd = symbolsAt + 4 + (8 + 2 * 2004) + (8 + 2004) + 800 * 4 + 51 + 9;
    const size_t firstCommentAt = plcEnd - 800 * 4 - 51 - 9;
    const size_t flagsAt = plcEnd;
    const size_t valuesAt = flagsAt + 4 + 24 * 400;
    struct Case {
        const char* name;
        size_t at;
        uint32_t value;
    };
    const Case cases[] = {
        {"model name of 2^31 bytes", nameAt, 0x80000000u},
        {"model name wider than 49", nameAt, 50},
        {"symbol groups 2^31", symbolsAt, 0x80000000u},
        {"symbol groups 0xFFFFFFFF", symbolsAt, 0xFFFFFFFFu},
        {"symbol entries 2^31", firstEntryCountAt, 0x80000000u},
        {"symbol entries one more than present", firstEntryCountAt, 3},
        {"comment text of 53 bytes", firstCommentAt, 53},
        {"comment text of 2^31 bytes", firstCommentAt, 0x80000000u},
        {"flag groups 2^31", flagsAt, 0x80000000u},
        {"flag groups one more than present", flagsAt, 25},
        {"value groups 2^31", valuesAt, 0x80000000u},
        {"records 2^31", valuesAt + 4, 0x80000000u},
        {"set value wider than 19", valuesAt + 8, 20},
    };
    // The first comment must be where the layout puts it.
    ASSERT_EQ(image[firstCommentAt], 51);
    ASSERT_EQ(image[flagsAt], 24);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes bad = image;
        patchU32(bad, c.at, c.value);
        test::WriteFile(work.file("x.nf3"), toString(bad));
        CM240Doc target = newDoc(0x35003);
        const ParamTable before = target.table;
        ProjectFrameItems f = frameFor(0x35003);
        EXPECT_FALSE(target.LoadProject(work.file("x.nf3"), f));
        EXPECT_EQ(target.lastError, text::kProjectFileDamaged);
        EXPECT_EQ(target.table, before);
        EXPECT_EQ(f, frameFor(0x35003));
    }
}

TEST_F(ProjectFile, ChannelTextsWiderThanTheirFieldAreRefused) {
    CM240Doc doc = newDoc();
    ProjectFrameItems frame = frameFor(0x35001);
    Bytes image = doc.EncodeProject(frame);
    // Replace the last channel's minimum "0.00" by a 50-character text.
    image.resize(image.size() - 8);
    putText(image, std::string(50, 'm'));
    test::WriteFile(work.file("c.nf3"), toString(image));
    CM240Doc target = newDoc();
    ProjectFrameItems f;
    EXPECT_FALSE(target.LoadProject(work.file("c.nf3"), f));
    image.resize(image.size() - 54);
    putText(image, std::string(49, 'm'));
    test::WriteFile(work.file("c.nf3"), toString(image));
    ASSERT_TRUE(target.LoadProject(work.file("c.nf3"), f));
    EXPECT_EQ(f.graphChannels[3].minimum, std::string(49, 'm'));
}

TEST_F(ProjectFile, WriterClipsTextsToTheirWidths) {
    CM240Doc doc = newDoc();
    ProjectFrameItems frame = frameFor(0x35001);
    frame.modelName = std::string(30, 'n');
    frame.graphChannels[1].itemName = std::string(80, 'i');
    doc.table.record("00-03")->setValue = std::string(25, '9');
    ASSERT_TRUE(doc.SaveProject(work.file("w.nf3"), frame));
    CM240Doc reopened(data.dir());
    ProjectFrameItems f;
    ASSERT_TRUE(reopened.LoadProject(work.file("w.nf3"), f));
    EXPECT_EQ(f.modelName, std::string(19, 'n'));
    EXPECT_EQ(f.graphChannels[1].itemName, std::string(49, 'i'));
    EXPECT_EQ(reopened.table.record("00-03")->setValue, std::string(19, '9'));
}

TEST_F(ProjectFile, FailedSaveLeavesTheOldFileIntact) {
    CM240Doc doc = newDoc();
    const ProjectFrameItems frame = frameFor(0x35001);

    // The target is a directory.
    std::filesystem::create_directory(work.file("dir.nf3"));
    test::WriteFile(work.file("dir.nf3") + "/inside", "keep");
    EXPECT_FALSE(doc.SaveProject(work.file("dir.nf3"), frame));
    EXPECT_EQ(doc.lastError, std::string(text::kCannotSaveFile) + "\n" + work.file("dir.nf3") +
                                 " is a folder, not a regular file.");
    EXPECT_EQ(test::ReadFile(work.file("dir.nf3") + "/inside"), "keep");

    // The folder does not exist.
    EXPECT_FALSE(doc.SaveProject(work.file("missing/p.nf3"), frame));
    EXPECT_EQ(doc.lastError, "Can not save this file.\nNo such file or directory");

    // The folder is not writable: the old file stays as it was.
    if (::geteuid() != 0) {
        std::filesystem::create_directory(work.file("ro"));
        test::WriteFile(work.file("ro/p.nf3"), "old contents");
        std::filesystem::permissions(work.file("ro"), std::filesystem::perms::owner_read |
                                                          std::filesystem::perms::owner_exec);
        EXPECT_FALSE(doc.SaveProject(work.file("ro/p.nf3"), frame));
        std::filesystem::permissions(work.file("ro"), std::filesystem::perms::owner_all);
        EXPECT_EQ(test::ReadFile(work.file("ro/p.nf3")), "old contents");
    }

    // No temporary file is left behind.
    for (const auto& e : std::filesystem::directory_iterator(work.path()))
        EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << e.path();
}

TEST_F(ProjectFile, SaveReplacesTheOldFileAndKeepsItsPermissions) {
    CM240Doc doc = newDoc();
    const std::string path = work.file("p.nf3");
    test::WriteFile(path, "old contents");
    std::filesystem::permissions(path, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::owner_write |
                                           std::filesystem::perms::group_read);
    ASSERT_TRUE(doc.SaveProject(path, frameFor(0x35001)));
    EXPECT_EQ(test::ReadFile(path).substr(0, 4), std::string("\x02\0\0\0", 4));
    EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                  std::filesystem::perms::group_read);
}

TEST_F(ProjectFile, SaveThroughALinkReplacesTheFileItPointsTo) {
    CM240Doc doc = newDoc();
    test::WriteFile(work.file("real.nf3"), "old");
    std::filesystem::create_symlink(work.file("real.nf3"), work.file("link.nf3"));
    ASSERT_TRUE(doc.SaveProject(work.file("link.nf3"), frameFor(0x35001)));
    EXPECT_TRUE(std::filesystem::is_symlink(work.file("link.nf3")));
    EXPECT_EQ(test::ReadFile(work.file("real.nf3")).substr(0, 4), std::string("\x02\0\0\0", 4));
}

TEST_F(ProjectFile, ReadOnlyFileIsNotReplaced) {
    CM240Doc doc = newDoc();
    test::WriteFile(work.file("ro.nf3"), "old contents");
    std::filesystem::permissions(work.file("ro.nf3"), std::filesystem::perms::owner_read);
    EXPECT_FALSE(doc.SaveProject(work.file("ro.nf3"), frameFor(0x35001)));
    EXPECT_EQ(doc.lastError, "Can not save this file.\nThe file is read-only.");
    EXPECT_EQ(test::ReadFile(work.file("ro.nf3")), "old contents");
}

// What is not a regular file is refused with what it is: a FIFO without a writer would block
// the reader forever, a device like /dev/zero never ends.
TEST_F(ProjectFile, OnlyRegularFilesAreOpened) {
    ASSERT_EQ(::mkfifo(work.file("pipe.nf3").c_str(), 0600), 0);
    std::filesystem::create_directory(work.file("dir.nf3"));
    std::filesystem::create_symlink(work.file("gone.nf3"), work.file("dangling.nf3"));
    struct Case {
        std::string path;
        std::string reason;  // the line below "Can not open file."; empty: no second line
    } cases[] = {
        {work.file("pipe.nf3"), work.file("pipe.nf3") + " is a FIFO (named pipe), not a regular file."},
        {"/dev/zero", "/dev/zero is a device, not a regular file."},
        {"/dev/null", "/dev/null is a device, not a regular file."},
        {work.file("dir.nf3"), work.file("dir.nf3") + " is a folder, not a regular file."},
        {work.file("dangling.nf3"), ""},
    };
    for (const auto& c : cases) {
        CM240Doc doc = newDoc();
        doc.table.record("00-03")->setValue = "7";
        ProjectFrameItems frame = frameFor(0x35001);
        EXPECT_FALSE(doc.LoadProject(c.path, frame)) << c.path;
        EXPECT_EQ(doc.lastError, c.reason.empty() ? std::string(text::kCannotOpenFile)
                                                  : std::string(text::kCannotOpenFile) + "\n" + c.reason);
        EXPECT_EQ(doc.table.record("00-03")->setValue, "7") << c.path;
        int32_t version = -5;
        EXPECT_FALSE(ReadProjectVersion(c.path, version)) << c.path;
        EXPECT_EQ(version, -5) << c.path;
    }
}

// Save never turns something the user made into a regular file: a FIFO, a folder and a link to
// nothing stay what they were, and the text says why.
TEST_F(ProjectFile, SaveRefusesWhatIsNotARegularFileAndSaysWhy) {
    CM240Doc doc = newDoc();
    ASSERT_EQ(::mkfifo(work.file("pipe.nf3").c_str(), 0600), 0);
    std::filesystem::create_symlink(work.file("gone.nf3"), work.file("dangling.nf3"));
    std::filesystem::create_symlink(work.file("pipe.nf3"), work.file("topipe.nf3"));
    struct Case {
        std::string path, reason;
    } cases[] = {
        {work.file("pipe.nf3"), work.file("pipe.nf3") + " is a FIFO (named pipe), not a regular file."},
        {work.file("dangling.nf3"),
         work.file("dangling.nf3") + " is a link to " + work.file("gone.nf3") + ", which does not exist."},
        {work.file("topipe.nf3"), work.file("pipe.nf3") + " is a FIFO (named pipe), not a regular file."},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(doc.SaveProject(c.path, frameFor(0x35001))) << c.path;
        EXPECT_EQ(doc.lastError, std::string(text::kCannotSaveFile) + "\n" + c.reason);
    }
    EXPECT_TRUE(std::filesystem::is_symlink(work.file("dangling.nf3")));
    EXPECT_FALSE(std::filesystem::exists(work.file("gone.nf3")));
    EXPECT_TRUE(std::filesystem::is_fifo(work.file("pipe.nf3")));
    for (const auto& e : std::filesystem::directory_iterator(work.path()))
        EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << e.path();
}

// A save killed between writing and renaming leaves its temporary file; the next save of the
// same project removes those of processes that are gone, and leaves a running save's alone.
TEST_F(ProjectFile, NextSaveRemovesTheTemporaryFilesOfKilledSaves) {
    CM240Doc doc = newDoc();
    const std::string path = work.file("p.nf3");
    // A process that has ended: its pid is free until reused, which a test cannot rule out
    // for long, so the check follows right after it ended.
    const pid_t gone = ::fork();
    if (gone == 0) ::_exit(0);
    ASSERT_GT(gone, 0);
    ASSERT_EQ(::waitpid(gone, nullptr, 0), gone);
    const std::string stale1 = work.file(".p.nf3." + std::to_string(gone) + ".0.tmp");
    const std::string stale2 = work.file(".p.nf3." + std::to_string(gone) + ".17.tmp");
    const std::string running = work.file(".p.nf3." + std::to_string(::getppid()) + ".3.tmp");
    const std::string other = work.file(".q.nf3." + std::to_string(gone) + ".0.tmp");
    for (const auto& f : {stale1, stale2, running, other}) test::WriteFile(f, "half");
    ASSERT_TRUE(doc.SaveProject(path, frameFor(0x35001)));
    EXPECT_FALSE(std::filesystem::exists(stale1));
    EXPECT_FALSE(std::filesystem::exists(stale2));
    EXPECT_TRUE(std::filesystem::exists(running));  // its process still runs
    EXPECT_TRUE(std::filesystem::exists(other));    // another project's
}

// The reason of a failed write reaches the text: a file size limit stands in for a full disk
// (both fail the write itself), a folder the user may not write to gives "Permission denied".
// Both run in a child process, which may change its limits and drop the superuser's rights.
TEST_F(ProjectFile, FailedSaveSaysWhy) {
    struct Case {
        const char* name;
        std::function<bool()> arrange;  // in the child, before the save
        std::string path;
        std::string text;
    } cases[] = {
        {"write fails",
         [] {
             ::signal(SIGXFSZ, SIG_IGN);
             const rlimit small{1000, 1000};
             return ::setrlimit(RLIMIT_FSIZE, &small) == 0;
         },
         work.file("big.nf3"), "Can not save this file.\nFile too large"},
        {"no write permission",
         [&] {
             std::filesystem::create_directory(work.file("ro"));
             ::chmod(work.file("ro").c_str(), 0555);
             return ::geteuid() != 0 || (::setgid(65534) == 0 && ::setuid(65534) == 0);
         },
         work.file("ro/p.nf3"), "Can not save this file.\nPermission denied"},
    };
    for (const auto& c : cases) {
        int fds[2];
        ASSERT_EQ(::pipe(fds), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(fds[0]);
            std::string out = "cannot arrange";
            if (c.arrange()) {
                CM240Doc doc = newDoc();
                out = doc.SaveProject(c.path, frameFor(0x35001)) ? "saved" : doc.lastError;
            }
            [[maybe_unused]] const auto n = ::write(fds[1], out.data(), out.size());
            ::_exit(0);
        }
        ::close(fds[1]);
        std::string got;
        char buf[512];
        for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;) got.append(buf, static_cast<size_t>(n));
        ::close(fds[0]);
        ::waitpid(child, nullptr, 0);
        EXPECT_EQ(got, c.text) << c.name;
    }
    EXPECT_FALSE(std::filesystem::exists(work.file("ro/p.nf3")));
    for (const auto& e : std::filesystem::directory_iterator(work.path()))
        EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << e.path();
}

TEST_F(ProjectFile, ClearCommentsMarksTheDocumentModified) {
    CM240Doc doc = newDoc();
    doc.plc.commentFlags[3] = 1;
    doc.plc.setCommentText(3, 0, "x");
    doc.plc.normalizeCommentFlags();
    doc.clearComments();
    EXPECT_TRUE(doc.modified);
    EXPECT_EQ(doc.plc.commentCount, 0u);
    EXPECT_EQ(doc.plc.displayLineCount, 80u);
    EXPECT_EQ(doc.plc.commentText(3, 0), "");
}

}  // namespace
}  // namespace pv

namespace pv {
namespace {

// With the shipped data files: a new project of every model survives save, open and save
// byte for byte, and opens with the model's defaults.
TEST(ShippedDataProjects, EveryModelRoundTrips) {
    const std::string data = std::string(PARVOLT_DATA_DIR) + "/";
    if (!std::filesystem::exists(data + "N350PARAM.DAT")) GTEST_SKIP() << "no data files yet";
    test::TempDir work;
    for (const auto& m : ModelsByCode()) {
        SCOPED_TRACE(std::string(m.name));
        CM240Doc doc(data);
        doc.OnNewDocument();
        ASSERT_EQ(doc.ApplyModelDefaultsFile(m.code, true), kModelDefaultBindings);
        ProjectFrameItems frame;
        frame.modelCode = m.code;
        frame.modelName = std::string(m.name);
        ASSERT_TRUE(doc.SaveProject(work.file("m.nf3"), frame));
        CM240Doc reopened(data);
        ProjectFrameItems f;
        ASSERT_TRUE(reopened.LoadProject(work.file("m.nf3"), f));
        EXPECT_EQ(f, frame);
        for (size_t g = 0; g < doc.table.groups.size(); ++g)
            for (int i = 0; i < kParamsPerGroup; ++i)
                if (doc.table.groups[g].params[i].defined) {
                    ASSERT_EQ(reopened.table.groups[g].params[i].setValue,
                              doc.table.groups[g].params[i].setValue);
                }
        ASSERT_TRUE(reopened.SaveProject(work.file("m2.nf3"), f));
        EXPECT_EQ(test::ReadFile(work.file("m.nf3")), test::ReadFile(work.file("m2.nf3")));
    }
}

}  // namespace
}  // namespace pv
