// Start-up, the exit button and the room launch, against recording fakes.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "fakes/rig.h"
#include "launcher/endpoints.h"
#include "launcher/meeting_file.h"

namespace talvo {
namespace {

using fakes::FormRig;
using fakes::Utf8;

const std::u16string kPath = u"C:\\MrvPrg\\Tamsell\\TamSell.jnj";
const std::string kMessage = "MsgBox 找不到(TamSell.jnj) .inj 檔案";
const std::string kCannotOpen = "MsgBox 無法開啟(TamSell.jnj) .jnj 檔案";
// Names the type and where to download the client, from the build's address.
const std::string kNotInstalled =
    "MsgBox 這台電腦沒有安裝會議程式 JoinNet，無法開啟(TamSell.jnj) .jnj 檔案\n請到 " +
    Utf8(endpoints::kClientDownloadUrl) + " 下載安裝";

std::string ExpectedFile(const std::string& user_id, const std::string& user_name) {
  return "# if you see this file, please download JoinNet from " +
         Utf8(endpoints::kClientDownloadUrl) +
         "\r\n"
         "[general]\r\n"
         "domain = HomeMeeting\r\n"
         "ip = " +
         Utf8(endpoints::kServerHost) +
         "\r\n"
         "portm = 443\r\n"
         "portm2 = 2333\r\n"
         "size_w=176\r\n"
         "size_h=144\r\n"
         "gui_rec_ver = 3.3\r\n"
         "gui_min_ver = 3.0\r\n"
         "backupip = " +
         Utf8(endpoints::kBackupIp) +
         "\r\n"
         "codetype = 4\r\n"
         "UserID = " +
         user_id + "\r\nUserName = " + user_name + "\r\n";
}

// What every launch does after the file was started or the message shown.
std::vector<std::string> Ending() {
  std::vector<std::string> tail = {"DoEvents", "mainform.Visible=False"};
  for (int i = 0; i < 15; ++i) {
    tail.push_back("Sleep 100");
    tail.push_back("DoEvents");
  }
  tail.push_back("Unload");
  tail.push_back("End");
  return tail;
}

std::vector<std::string> From(const fakes::Log& log, const std::string& first) {
  auto it = std::find(log.begin(), log.end(), first);
  return {it, log.end()};
}

int Count(const fakes::Log& log, const std::string& prefix) {
  return static_cast<int>(std::count_if(
      log.begin(), log.end(), [&](const std::string& e) { return e.rfind(prefix, 0) == 0; }));
}

TEST(RoomLaunch, WritesTheFourteenLinesOfEachRoom) {
  struct Room {
    std::int16_t index;
    const char* user_id;
    const char* user_name;
  };
  for (const Room room :
       {Room{0, "public", "02-Room"}, Room{1, "ds", "03-Room"}, Room{2, "rd", "01-Room"},
        Room{3, "it", "04-Room"}, Room{4, "tr", "05-Room"}, Room{5, "of", "06-Room"}}) {
    SCOPED_TRACE(room.index);
    FormRig rig;
    rig.form.RoomSelect_Click(room.index);
    EXPECT_EQ(rig.files.disk[kPath], ExpectedFile(room.user_id, room.user_name));
  }
}

TEST(RoomLaunch, EndpointsArePlainAsciiWithoutBlanks) {
  for (std::u16string_view value :
       {std::u16string_view(endpoints::kClientDownloadUrl),
        std::u16string_view(endpoints::kServerHost), std::u16string_view(endpoints::kBackupIp)}) {
    EXPECT_FALSE(value.empty());
    for (char16_t c : value) EXPECT_TRUE(c > u' ' && c < 0x7F) << Utf8(value);
  }
}

TEST(RoomLaunch, SuccessWritesTestsStartsThenHidesWaitsAndEnds) {
  FormRig rig;
  rig.form.RoomSelect_Click(0);
  std::vector<std::string> expected = {"Close", "Open C:\\MrvPrg\\Tamsell\\TamSell.jnj"};
  for (const std::u16string& line : meeting::Lines(u"public", u"02-")) {
    expected.push_back("Print " + Utf8(line));
  }
  expected.push_back("Close");
  expected.push_back("Dir C:\\MrvPrg\\Tamsell\\TamSell.jnj");
  expected.push_back("Registered? .jnj");
  // No quotation marks around the path.
  expected.push_back("Start cmd /d /c start C:\\MrvPrg\\Tamsell\\TamSell.jnj");
  for (const std::string& step : Ending()) expected.push_back(step);
  EXPECT_EQ(rig.log, expected);
}

TEST(RoomLaunch, FileNotFoundShowsTheMessageAndStillEnds) {
  FormRig rig;
  rig.files.dir_answer = u"";
  rig.form.RoomSelect_Click(3);
  EXPECT_EQ(Count(rig.log, "Start"), 0);
  EXPECT_EQ(Count(rig.log, "Handler"), 0);
  std::vector<std::string> expected = {kMessage};
  for (const std::string& step : Ending()) expected.push_back(step);
  EXPECT_EQ(From(rig.log, kMessage), expected);
}

TEST(RoomLaunch, ExistenceTestIgnoresLetterCaseButNotTheName) {
  for (const auto& [answer, starts] :
       std::vector<std::pair<std::u16string, bool>>{{u"TAMSELL.JNJ", true},
                                                    {u"tamsell.jnj", true},
                                                    {u"TamSell.jnj", true},
                                                    {u"TamSell.jnj.bak", false},
                                                    {u"TamSel.jnj", false},
                                                    {u"", false}}) {
    SCOPED_TRACE(Utf8(answer));
    FormRig rig;
    rig.files.dir_answer = answer;
    rig.form.RoomSelect_Click(0);
    EXPECT_EQ(Count(rig.log, "Start"), starts ? 1 : 0);
    EXPECT_EQ(Count(rig.log, "MsgBox"), starts ? 0 : 1);
  }
}

// A launch that could not write the whole file must not start the old one.
TEST(RoomLaunch, IncompleteWriteStartsNothingEvenWhenAnOldFileExists) {
  struct Failure {
    const char* what;
    void (*arrange)(fakes::FakeFiles&);
  };
  const Failure failures[] = {
      {"open", [](fakes::FakeFiles& f) { f.fail_open = true; }},
      {"first print", [](fakes::FakeFiles& f) { f.fail_print = 1; }},
      {"last print", [](fakes::FakeFiles& f) { f.fail_print = 14; }},
      {"close", [](fakes::FakeFiles& f) { f.fail_close = true; }},
  };
  for (const Failure& failure : failures) {
    SCOPED_TRACE(failure.what);
    FormRig rig;
    rig.files.disk[kPath] = "old room\r\n";
    failure.arrange(rig.files);
    rig.form.RoomSelect_Click(0);
    EXPECT_EQ(rig.files.disk[kPath], "old room\r\n");
    EXPECT_EQ(Count(rig.log, "Start"), 0);
    EXPECT_EQ(Count(rig.log, "Handler"), 0);
    EXPECT_EQ(Count(rig.log, "MsgBox"), 1);
    EXPECT_EQ(From(rig.log, kMessage).size(), Ending().size() + 1);
    EXPECT_EQ(rig.log.back(), "End");
  }
}

// Nothing is started where no program is registered for the type; else the
// interpreter first, the registered handler where it cannot run, the message
// only when neither could. A question the platform cannot answer changes
// nothing. Every branch ends the same way.
TEST(RoomLaunch, NoClientThenInterpreterThenHandlerThenMessageThenTheUsualEnd) {
  struct Case {
    const char* what;
    Answer registered;
    bool fail_start;
    bool fail_handler;
    std::vector<std::string> steps;
  };
  const std::string start = "Start cmd /d /c start C:\\MrvPrg\\Tamsell\\TamSell.jnj";
  const std::string handler = "Handler C:\\MrvPrg\\Tamsell\\TamSell.jnj";
  const Answer yes = Answer::Yes;
  const Answer unknown = Answer::CannotTell;
  const Case cases[] = {
      {"interpreter starts", yes, false, false, {start}},
      {"interpreter starts, handler would fail", yes, false, true, {start}},
      {"interpreter cannot start", yes, true, false, {start, handler}},
      {"neither can", yes, true, true, {start, handler, kCannotOpen}},
      {"cannot tell, interpreter starts", unknown, false, false, {start}},
      {"cannot tell, neither can", unknown, true, true, {start, handler, kCannotOpen}},
      {"no program registered", Answer::No, false, false, {kNotInstalled}},
      {"no program, nor interpreter nor handler", Answer::No, true, true, {kNotInstalled}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FormRig rig;
    rig.system.registered = c.registered;
    rig.system.fail_start = c.fail_start;
    rig.system.fail_handler = c.fail_handler;
    rig.form.RoomSelect_Click(1);
    std::vector<std::string> expected = {"Dir C:\\MrvPrg\\Tamsell\\TamSell.jnj",
                                         "Registered? .jnj"};
    expected.insert(expected.end(), c.steps.begin(), c.steps.end());
    for (const std::string& step : Ending()) expected.push_back(step);
    EXPECT_EQ(From(rig.log, expected.front()), expected);
  }
}

TEST(RoomLaunch, ClickQueuedDuringALaunchIsIgnored) {
  FormRig rig;
  rig.toolkit.QueueEvent([&] { rig.form.RoomSelect_Click(5); });
  rig.form.RoomSelect_Click(0);
  EXPECT_EQ(Count(rig.log, "Start"), 1);
  EXPECT_EQ(Count(rig.log, "Open"), 1);
  EXPECT_EQ(Count(rig.log, "End"), 1);
  EXPECT_NE(rig.files.disk[kPath].find("UserID = public\r\n"), std::string::npos);
}

TEST(RoomLaunch, ShortCaptionIsUsedWhole) {
  EXPECT_EQ(meeting::RoomPrefix(u"7"), u"7");
  EXPECT_EQ(meeting::RoomPrefix(u""), u"");
  EXPECT_EQ(meeting::RoomPrefix(u"01-研一部"), u"01-");
  FormRig rig;
  rig.parts.at(def::RoomSelectSlot(4)).caption = u"AB";
  rig.form.RoomSelect_Click(4);
  EXPECT_NE(rig.files.disk[kPath].find("\r\nUserName = ABRoom\r\n"), std::string::npos);
}

TEST(RoomLaunch, FullPathAddsOneBackslashOnlyWhenMissing) {
  EXPECT_EQ(meeting::FullPath(u"C:\\MrvPrg\\Tamsell\\", u"TamSell.jnj"), kPath);
  EXPECT_EQ(meeting::FullPath(u"C:\\MrvPrg\\Tamsell", u"TamSell.jnj"), kPath);
}

TEST(StartUp, MakesBothLevelsInOrderThenLaysOutAndGoesTopmost) {
  FormRig rig;
  rig.form.Form_Load();
  ASSERT_GE(rig.log.size(), 3u);
  EXPECT_EQ(rig.log[0], "MakeDir C:\\MrvPrg\\");
  EXPECT_EQ(rig.log[1], "MakeDir C:\\MrvPrg\\Tamsell\\");
  EXPECT_EQ(rig.log[2], "Pan00.Left=60");
  EXPECT_EQ(Count(rig.log, "SetWindowPos"), 1);
  EXPECT_EQ(Count(rig.log, "MsgBox"), 0);
}

TEST(StartUp, FailedDirectoriesAreIgnored) {
  FormRig rig;
  rig.files.fail_make_dir = true;
  rig.form.Form_Load();
  EXPECT_EQ(Count(rig.log, "MakeDir"), 2);
  EXPECT_EQ(Count(rig.log, "SetWindowPos"), 1);
  EXPECT_EQ(Count(rig.log, "MsgBox"), 0);
}

TEST(Shutdown, ExitButtonEndsAtOnceTouchingNothing) {
  FormRig rig;
  rig.form.ToDo_Click(0);
  EXPECT_EQ(rig.log, (fakes::Log{"End"}));
  EXPECT_TRUE(rig.files.disk.empty());
}

TEST(Shutdown, TheSessionEndingEndsAtOnceEvenDuringALaunch) {
  {
    SCOPED_TRACE("at rest");
    FormRig rig;
    rig.input.SessionEnded();
    EXPECT_EQ(rig.log, (fakes::Log{"End"}));
    EXPECT_TRUE(rig.files.disk.empty());
  }
  {
    // Delivered while the launch waits with the window hidden: the end
    // comes before the launch's own unload.
    SCOPED_TRACE("during a launch");
    FormRig rig;
    rig.toolkit.QueueEvent([] {});  // the dispatch before the window hides
    rig.toolkit.QueueEvent([&] { rig.input.SessionEnded(); });
    rig.form.RoomSelect_Click(0);
    const auto hidden = std::find(rig.log.begin(), rig.log.end(), "mainform.Visible=False");
    ASSERT_NE(hidden, rig.log.end());
    EXPECT_EQ(*std::find(hidden, rig.log.end(), "End"), "End");
    EXPECT_LT(std::find(hidden, rig.log.end(), "End"), std::find(hidden, rig.log.end(), "Unload"));
  }
}

}  // namespace
}  // namespace talvo
