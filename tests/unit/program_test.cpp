// The start sequence: window, load handler, show, event loop; and the end
// when there can be no window.
#include "launcher/program.h"

#include <gtest/gtest.h>

#include "fakes/fake_files.h"
#include "fakes/fake_pictures.h"
#include "fakes/fake_system.h"
#include "fakes/fake_toolkit.h"
#include "main_window/mainform_def.h"

namespace talvo {
namespace {

struct Platform {
  fakes::Log log;
  fakes::FakeToolkit toolkit{&log};
  fakes::FakeFiles files{log};
  fakes::FakeSystem system{log};
  fakes::FakePictures pictures;
  int Run() { return RunProgram(toolkit, files, system, pictures); }
};

TEST(Program, WindowThatCannotBeMadeEndsAtOnceWithAFailureStatus) {
  Platform platform;
  platform.toolkit.fail_create = true;
  EXPECT_EQ(platform.Run(), kExitNoWindow);
  EXPECT_NE(kExitNoWindow, 0);
  // Nothing of the load ran and no event loop waits for a window that is not there.
  EXPECT_EQ(platform.log, (fakes::Log{"BringOtherStartIntoView", "CreateForm"}));
  EXPECT_TRUE(platform.pictures.loads.empty());
}

TEST(Program, LoadsShowsThenWaitsForEvents) {
  Platform platform;
  platform.toolkit.loop_status = 7;
  EXPECT_EQ(platform.Run(), 7);
  const fakes::Log& log = platform.log;
  ASSERT_GE(log.size(), 4u);
  EXPECT_EQ(log[1], "CreateForm");
  EXPECT_EQ(log[2], "MakeDir C:\\MrvPrg\\");
  EXPECT_EQ(log[log.size() - 2], "mainform.Visible=True");
  EXPECT_EQ(log.back(), "EventLoop");
}

TEST(Program, AnotherLauncherShowingIsBroughtIntoViewAndThisStartEnds) {
  Platform platform;
  platform.toolkit.other_showing = true;
  EXPECT_EQ(platform.Run(), kExitOtherShowing);
  EXPECT_EQ(kExitOtherShowing, 0) << "a success: the user has the launcher in view";
  // No window, no folders, no event loop of its own.
  EXPECT_EQ(platform.log, (fakes::Log{"BringOtherStartIntoView"}));
}

TEST(Program, InputReachesTheWindowOnceItRuns) {
  Platform platform;
  platform.toolkit.QueueEvent([&] {
    platform.toolkit.input->PointerDown(def::kToDo0, 1, 0, 10, 10);
    platform.toolkit.input->PointerUp(def::kToDo0, 1, 0, 0, 10, 10);
  });
  platform.Run();
  EXPECT_EQ(platform.log.back(), "End");
}

}  // namespace
}  // namespace talvo
