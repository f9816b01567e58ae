#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "Fixtures.h"
#include "app/FrameState.h"
#include "app/ProjectActions.h"
#include "res/ProjectTexts.h"
#include "res/ScriptedPrompts.h"

namespace pv {
namespace {

class ProjectActions : public ::testing::Test {
protected:
    void SetUp() override {
        test::WriteFixtureData(data);
        session.hooks.closeWindows = [this] { ++windowsClosed; };
        session.hooks.stopActivity = [this] { ++activityStopped; };
        session.hooks.addRecentFile = [this](const std::string& p) { recent.push_back(p); };
        session.hooks.askSavePath = [this]() -> std::optional<std::string> { return savePath; };
        session.hooks.askOpenPath = [this]() -> std::optional<std::string> { return openPath; };
    }
    // A saved project for a model, with one changed set value.
    std::string savedProject(const std::string& model, const std::string& name,
                             const std::string& value0101 = "50.00") {
        FrameState f;
        ScriptedPrompts p;
        ProjectSession s(f, p, data.dir());
        EXPECT_TRUE(s.newProject(model));
        s.document()->table.record("01-01")->setValue = value0101;
        s.document()->table.record("13-00")->setValue = "from file";
        s.document()->table.record("00-63")->setValue = "1";
        f.graphChannels[2].itemName = "Output current";
        EXPECT_TRUE(s.saveAs(work.file(name)));
        return work.file(name);
    }

    test::TempDir data, work;
    FrameState frame;
    ScriptedPrompts prompts;
    ProjectSession session{frame, prompts, data.dir()};
    int windowsClosed = 0, activityStopped = 0;
    std::vector<std::string> recent;
    std::optional<std::string> savePath, openPath;
};

TEST_F(ProjectActions, NewProjectTakesTheModelDefaultsAsSetValues) {
    frame.highFrequencyMode = 1;  // left by the project before
    ASSERT_TRUE(session.newProject("N350-401-H"));
    EXPECT_EQ(frame.highFrequencyMode, 0);
    EXPECT_EQ(frame.modelCode, 0x35021u);
    EXPECT_EQ(frame.modelName, "N350-401-H");
    EXPECT_EQ(frame.voltageClass, 4);
    EXPECT_EQ(frame.largeFrame, 0);
    EXPECT_TRUE(frame.isProjectOpen());
    EXPECT_EQ(frame.viewMode, ViewMode::Parameters);
    const ParamRecord* r = session.document()->table.record("13-00");
    EXPECT_EQ(r->defaultValue, test::FixtureModelValue(54, 18));
    EXPECT_EQ(r->setValue, test::FixtureModelValue(54, 18));
    EXPECT_EQ(session.document()->table.applyModelDefaultsToSetValues, 1);
    EXPECT_EQ(frame.status.fileName, "New File");
    EXPECT_EQ(frame.status.model, "N350-401-H");
    EXPECT_EQ(frame.status.plcStatus, "STOP");
    EXPECT_EQ(frame.status.link, "Unlink");
    EXPECT_EQ(frame.limitsInHertz, 1);
    EXPECT_EQ(frame.pidDecimals, 1);
    EXPECT_TRUE(frame.projectPath.empty());
    EXPECT_FALSE(session.document()->modified);
    // A project for the ladder opens the ladder first.
    ASSERT_TRUE(session.newProject("N350-203-H", 1));
    EXPECT_EQ(frame.viewMode, ViewMode::Ladder);
    EXPECT_EQ(frame.voltageClass, 2);
    EXPECT_EQ(frame.largeFrame, 1);
}

TEST_F(ProjectActions, UnknownModelStopsAndKeepsTheOpenProject) {
    ASSERT_TRUE(session.newProject("N350-2P5-H"));
    CM240Doc* doc = session.document();
    EXPECT_FALSE(session.newProject("N350-999-H"));
    EXPECT_EQ(session.document(), doc);
    EXPECT_EQ(frame.modelName, "N350-2P5-H");
    EXPECT_EQ(windowsClosed, 0);
}

TEST_F(ProjectActions, OpenKeepsFileSetValuesAndTakesModelDefaults) {
    const std::string path = savedProject("N350-202-H", "p.nf3", "400.00");
    ASSERT_TRUE(session.open(OpenKind::GivenPath, path));
    EXPECT_EQ(frame.modelCode, 0x35003u);
    EXPECT_EQ(frame.voltageClass, 2);
    EXPECT_EQ(frame.projectPath, path);
    EXPECT_EQ(frame.status.fileName, "p.nf3");
    EXPECT_EQ(frame.highFrequencyMode, 1);  // 400.00 x 10 > 3000
    EXPECT_EQ(frame.limitsInHertz, 1);
    EXPECT_EQ(frame.graphChannels[2].itemName, "Output current");
    const ParamRecord* r = session.document()->table.record("13-00");
    EXPECT_EQ(r->defaultValue, test::FixtureModelValue(54, 2));
    EXPECT_EQ(r->setValue, "from file");
    EXPECT_EQ(session.document()->table.applyModelDefaultsToSetValues, 1);
    EXPECT_EQ(recent, std::vector<std::string>{path});
}

TEST_F(ProjectActions, HighFrequencyFlagNeedsMoreThanThreeHundredHertz) {
    struct Case {
        const char* value;
        int flag;
    };
    for (const Case c : {Case{"300.00", 0}, Case{"300.01", 1}, Case{"599.0", 1}, Case{"abc", 0}}) {
        SCOPED_TRACE(c.value);
        const std::string path = savedProject("N350-2P5-H", "hf.nf3", c.value);
        ASSERT_TRUE(session.open(OpenKind::GivenPath, path));
        EXPECT_EQ(frame.highFrequencyMode, c.flag);
    }
}

TEST_F(ProjectActions, OpenRefusesWhileAutoRefreshRuns) {
    frame.autoRefreshRunning = 1;
    EXPECT_FALSE(session.open(OpenKind::GivenPath, savedProject("N350-2P5-H", "a.nf3")));
    EXPECT_FALSE(session.newProject("N350-2P5-H"));
    EXPECT_EQ(prompts.texts("message"),
              (std::vector<std::string>{text::kAutoRefreshRunning, text::kAutoRefreshRunning}));
}

TEST_F(ProjectActions, FailedOpenShowsTheTextAndKeepsTheOpenProject) {
    ASSERT_TRUE(session.newProject("N350-2P5-H"));
    session.document()->table.record("00-01")->setValue = "kept";
    CM240Doc* doc = session.document();
    test::WriteFile(work.file("v3.nf3"), std::string("\x03\0\0\0", 4));
    test::WriteFile(work.file("short.nf3"), std::string("\x02\0\0\0\x01\x50", 6));
    EXPECT_FALSE(session.open(OpenKind::GivenPath, work.file("missing.nf3")));
    EXPECT_FALSE(session.open(OpenKind::GivenPath, work.file("v3.nf3")));
    EXPECT_FALSE(session.open(OpenKind::GivenPath, work.file("short.nf3")));
    EXPECT_EQ(prompts.texts("message"),
              (std::vector<std::string>{text::kCannotOpenFile, text::kVersionTooNew,
                                        text::kProjectFileDamaged}));
    EXPECT_EQ(session.document(), doc);
    EXPECT_EQ(doc->table.record("00-01")->setValue, "kept");
    EXPECT_TRUE(frame.isProjectOpen());
    EXPECT_EQ(frame.modelName, "N350-2P5-H");
    EXPECT_EQ(windowsClosed, 0);
}

TEST_F(ProjectActions, SaveQuestionDependsOnHowTheFileIsOpened) {
    const std::string path = savedProject("N350-2P5-H", "q.nf3");
    struct Case {
        OpenKind kind;
        YesNoCancel answer;
        const char* question;
        bool opens;
    };
    const Case cases[] = {
        {OpenKind::GivenPath, YesNoCancel::Cancel, text::kSaveFileQuestion, false},
        {OpenKind::Command, YesNoCancel::Cancel, text::kModifiedSaveQuestion, false},
        {OpenKind::GivenPath, YesNoCancel::No, text::kSaveFileQuestion, true},
        {OpenKind::Command, YesNoCancel::No, text::kModifiedSaveQuestion, true},
    };
    openPath = path;
    for (const auto& c : cases) {
        if (session.document()) session.document()->modified = false;
        ASSERT_TRUE(session.newProject("N350-2P5-H"));
        session.document()->modified = true;
        prompts.shown.clear();
        prompts.yesNoCancelAnswers = {c.answer};
        const int closedBefore = windowsClosed;
        EXPECT_EQ(session.open(c.kind, path), c.opens);
        EXPECT_EQ(prompts.texts("yesNoCancel"), std::vector<std::string>{c.question});
        EXPECT_EQ(windowsClosed - closedBefore, c.opens ? 1 : 0);
        EXPECT_GT(activityStopped, 0);
    }
}

TEST_F(ProjectActions, AnsweringYesSavesFirstAndStopsWhenSavingFails) {
    const std::string other = savedProject("N350-2P5-H", "other.nf3");
    ASSERT_TRUE(session.newProject("N350-2P5-H"));
    session.document()->modified = true;
    session.document()->table.record("00-02")->setValue = "saved first";
    savePath = work.file("first.nf3");
    prompts.yesNoCancelAnswers = {YesNoCancel::Yes};
    ASSERT_TRUE(session.open(OpenKind::GivenPath, other));
    CM240Doc check(data.dir());
    ProjectFrameItems f;
    ASSERT_TRUE(check.LoadProject(work.file("first.nf3"), f));
    EXPECT_EQ(check.table.record("00-02")->setValue, "saved first");

    // Saving into a folder that does not exist fails: the open is abandoned.
    session.document()->modified = true;
    frame.projectPath.clear();
    savePath = work.file("no/such/dir.nf3");
    prompts.shown.clear();
    prompts.yesNoCancelAnswers = {YesNoCancel::Yes};
    EXPECT_FALSE(session.open(OpenKind::GivenPath, other));
    EXPECT_EQ(prompts.texts("message"),
              std::vector<std::string>{"Can not save this file.\nNo such file or directory"});
}

TEST_F(ProjectActions, OpenCommandAsksForTheFile) {
    EXPECT_FALSE(session.open(OpenKind::Command));  // dialog cancelled
    EXPECT_FALSE(frame.isProjectOpen());
    openPath = savedProject("N350-430-H", "c.nf3");
    ASSERT_TRUE(session.open(OpenKind::Command));
    EXPECT_EQ(frame.modelName, "N350-430-H");
    EXPECT_EQ(frame.voltageClass, 4);
}

TEST_F(ProjectActions, SaveAsksForAPathOnceAndClearsTheModifiedFlag) {
    ASSERT_TRUE(session.newProject("N350-2P5-H"));
    session.document()->modified = true;
    EXPECT_FALSE(session.save());  // no path given: cancelled
    savePath = work.file("s.nf3");
    ASSERT_TRUE(session.save());
    EXPECT_FALSE(session.document()->modified);
    EXPECT_EQ(frame.projectPath, work.file("s.nf3"));
    EXPECT_EQ(frame.status.fileName, "s.nf3");
    EXPECT_EQ(recent.back(), work.file("s.nf3"));
}

TEST_F(ProjectActions, LadderCheckErrorSavesNothing) {
    ASSERT_TRUE(session.newProject("N350-2P5-H"));
    session.hooks.checkLadder = [](CM240Doc&) { return false; };
    savePath = work.file("never.nf3");
    EXPECT_FALSE(session.save());
    EXPECT_FALSE(std::filesystem::exists(work.file("never.nf3")));
}

TEST_F(ProjectActions, SaveRefusesACoilThatMayStandOnlyOnce) {
    struct Case {
        const char* name;
        const char* coilA;  // row 3
        const char* coilB;  // row 44
        const char* error;  // empty: saved
    };
    const Case cases[] = {
        {"two T03 coils", "T", "T", " T03\nReused"},
        {"two Q03 coils", "Q", "Q", ""},
        {"T03 and C03", "T", "C", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FrameState f;
        ScriptedPrompts p;
        ProjectSession s(f, p, data.dir());
        ASSERT_TRUE(s.newProject("N350-2P5-H"));
        s.document()->plc.setCoil(3, kCoilOutput, c.coilA[0], 3);
        s.document()->plc.setCoil(44, kCoilSet, c.coilB[0], 3);
        s.document()->modified = true;
        const std::string path = work.file(std::string(c.name) + ".nf3");
        s.hooks.askSavePath = [&]() -> std::optional<std::string> { return path; };
        const bool refused = c.error[0] != '\0';
        EXPECT_EQ(s.save(), !refused);
        EXPECT_EQ(std::filesystem::exists(path), !refused);
        EXPECT_EQ(s.document()->modified, refused);
        EXPECT_EQ(p.texts("error"),
                  refused ? std::vector<std::string>{c.error} : std::vector<std::string>{});
    }
}

TEST_F(ProjectActions, FailedSaveClearsThePathAndFailedSaveAsRestoresIt) {
    ASSERT_TRUE(session.newProject("N350-2P5-H"));
    session.document()->modified = true;
    ASSERT_TRUE(session.saveAs(work.file("good.nf3")));
    EXPECT_FALSE(session.document()->modified);
    session.document()->modified = true;
    EXPECT_FALSE(session.saveAs(work.file("no/dir/x.nf3")));
    EXPECT_TRUE(session.document()->modified);
    EXPECT_EQ(frame.projectPath, work.file("good.nf3"));
    frame.projectPath = work.file("no/dir/y.nf3");
    session.document()->modified = true;
    EXPECT_FALSE(session.save());
    EXPECT_TRUE(frame.projectPath.empty());
    EXPECT_TRUE(session.document()->modified);
    EXPECT_EQ(prompts.texts("message"),
              (std::vector<std::string>{"Can not save this file.\nNo such file or directory",
                                        "Can not save this file.\nNo such file or directory"}));
}

TEST_F(ProjectActions, CloseAsksForModifiedProjects) {
    ASSERT_TRUE(session.newProject("N350-2P5-H"));
    session.document()->modified = true;
    prompts.yesNoCancelAnswers = {YesNoCancel::Cancel, YesNoCancel::No};
    EXPECT_FALSE(session.close(text::kSaveFileQuestion));
    EXPECT_TRUE(frame.isProjectOpen());
    EXPECT_TRUE(session.close(text::kSaveFileQuestion));
    EXPECT_FALSE(frame.isProjectOpen());
    EXPECT_EQ(session.document(), nullptr);
}

}  // namespace
}  // namespace pv
