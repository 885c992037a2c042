#include <gtest/gtest.h>

#include <vector>

#include "input/keyboard.h"
#include "input/mouse.h"
#include "platform/headless/headless_input.h"
#include "tests/support/headless_screen.h"

namespace grumbol {
namespace {

using platform::HeadlessInput;
using Kind = HeadlessInput::Action::Kind;

HeadlessInput::Action Move(int dx, int dy) { return {Kind::kMove, dx, dy}; }
HeadlessInput::Action Press(int button) { return {Kind::kButtonDown, button}; }
HeadlessInput::Action Release(int button) { return {Kind::kButtonUp, button}; }
HeadlessInput::Action KeyDown(int code) { return {Kind::kKeyDown, code}; }

// The game's wiring: one screen, the shared input service, the keyboard and the mouse.
struct Rig : testing::HeadlessScreen {
  explicit Rig(HeadlessInput::Options options = {}) : input(options) {}

  // Started as the game starts, with the 1024x768 screen open and the mouse set up.
  void Open() {
    HeadlessScreen::Open();
    mouse.StartMouse();
    mouse.PollMouse();
  }
  void SetFocus(bool focus) {
    input.SetForeground(focus);
    display.InjectEvent(focus ? platform::WindowEvent::kFocusGained
                              : platform::WindowEvent::kFocusLost);
    screen.ShowFrame();
  }
  int Poll(const std::vector<HeadlessInput::Action>& actions) {
    input.Do(actions);
    return mouse.PollMouse();
  }

  HeadlessInput input;
  InputService input_service{input};
  Keyboard keyboard{input_service, screen};
  Mouse mouse{input_service, screen};
};

TEST(Keyboard, GoesThroughItsStatesAndReadsHeldKeysEveryFrame) {
  Rig rig;
  EXPECT_EQ(rig.keyboard.PollKeyboard(), 0);  // no device: nothing touched
  rig.screen.StartVideo();                    // starts the keyboard too
  EXPECT_EQ(rig.keyboard.state(), Keyboard::State::kSetUpPending);
  EXPECT_NE(rig.keyboard.StartKeyboard(), 0);  // the game's own start changes nothing
  rig.input.Do({KeyDown(33), KeyDown(44), KeyDown(255)});
  EXPECT_EQ(rig.keyboard.IsKeyDown(33), 0) << "no poll yet";
  for (int frame = 0; frame < 3; ++frame) {
    ASSERT_EQ(rig.keyboard.PollKeyboard(), 1);
    EXPECT_EQ(rig.keyboard.state(), Keyboard::State::kReadable);
    EXPECT_EQ(rig.keyboard.IsKeyDown(33) + rig.keyboard.IsKeyDown(44), 256);
    EXPECT_EQ(rig.keyboard.IsKeyDown(46), 0);
  }
  rig.input.Do({{Kind::kKeyUp, 33}, {Kind::kKeyUp, 44}, KeyDown(1), {Kind::kKeyUp, 1}});
  rig.keyboard.PollKeyboard();
  EXPECT_EQ(rig.keyboard.IsKeyDown(1), 0) << "down and up between two polls";
  EXPECT_EQ(rig.keyboard.IsKeyDown(255), 128);
  EXPECT_EQ(rig.keyboard.IsKeyDown(-1), 0) << "code 255 is not any key";
  for (int stray : {-2, 256}) EXPECT_EQ(rig.keyboard.IsKeyDown(stray), 0);
  rig.input.Do(KeyDown(0));
  rig.keyboard.PollKeyboard();
  EXPECT_EQ(rig.keyboard.IsKeyDown(-1), 1);

  rig.keyboard.EndKeyboard();
  EXPECT_EQ(rig.keyboard.IsKeyDown(0), 0);
  EXPECT_FALSE(rig.input.started()) << "the last user lets the service go";
}

TEST(Keyboard, InTheBackgroundPollsFailAndEveryKeyReadsUpUntilAPollWorks) {
  Rig rig;
  rig.Open();
  rig.input.Do(KeyDown(25));
  ASSERT_EQ(rig.keyboard.PollKeyboard(), 1);
  rig.SetFocus(false);
  for (int frame = 0; frame < 2; ++frame) {  // acquiring in the background does not work
    EXPECT_EQ(rig.keyboard.PollKeyboard(), 0);
    EXPECT_EQ(rig.keyboard.state(), Keyboard::State::kSetUpPending);
    EXPECT_EQ(rig.keyboard.IsKeyDown(25), 0);
  }
  rig.SetFocus(true);
  EXPECT_EQ(rig.keyboard.PollKeyboard(), 1);
  EXPECT_EQ(rig.keyboard.IsKeyDown(25), 128);
}

TEST(Input, FailedStartsAnswerZeroAndTouchNothing) {
  for (const HeadlessInput::Options& options :
       {HeadlessInput::Options{.can_start = false},
        HeadlessInput::Options{.has_keyboard = false, .has_mouse = false}}) {
    Rig rig(options);
    EXPECT_EQ(rig.screen.StartVideo(), 0) << "the keyboard start fails";
    EXPECT_EQ(rig.keyboard.StartKeyboard(), 0);
    EXPECT_EQ(rig.keyboard.PollKeyboard(), 0);
    EXPECT_EQ(rig.mouse.StartMouse(), 0);
    EXPECT_EQ(rig.mouse.PollMouse(), 0);
    rig.mouse.SuspendMouse(1);
    EXPECT_EQ(rig.input_service.users(), 2);
    rig.mouse.EndMouse();
    rig.keyboard.EndKeyboard();
    EXPECT_EQ(rig.input_service.users(), 0);
  }
}

TEST(Mouse, PointerIsTheClampedSumOfMovementWithoutOvershoot) {
  struct Case {
    std::vector<HeadlessInput::Action> moves;  // one poll each
    int x, y;
  };
  const Case cases[] = {
      {{}, 0, 0},
      {{Move(-50, -50), Move(7, 9)}, 7, 9},
      {{Move(5000, 0), Move(-3, 0)}, 1020, 0},
      {{Move(0, 5000), Move(0, -10)}, 0, 757},
      {{Move(1023, 767)}, 1023, 767},
      {{Move(1024, 768)}, 1023, 767},
  };
  for (const Case& c : cases) {
    Rig rig;
    rig.Open();
    for (const auto& move : c.moves) ASSERT_EQ(rig.Poll({move}), 1);
    EXPECT_EQ(rig.mouse.PointerX(), c.x) << "case " << &c - cases;
    EXPECT_EQ(rig.mouse.PointerY(), c.y) << "case " << &c - cases;
  }
}

TEST(Mouse, DeltasCoverOnePollAndShowInTheFrameDrawnAfterIt) {
  Rig rig;
  rig.Open();
  ASSERT_EQ(rig.Poll(std::vector<HeadlessInput::Action>(10, Move(3, 0))), 1);
  EXPECT_EQ(rig.mouse.PointerDeltaX(), 30);
  ASSERT_EQ(rig.Poll({Move(0, 202), Move(0, 0)}), 1);
  EXPECT_EQ(rig.mouse.PointerDeltaX(), 0);
  EXPECT_EQ(rig.mouse.PointerDeltaY(), 202);
  rig.screen.target()->SetPixel(rig.mouse.PointerX(), rig.mouse.PointerY(), 0xFFFFFF);
  rig.screen.ShowFrame();
  EXPECT_EQ(rig.display.LastFramePixel(30, 202), 0xFFFFFFu);

  rig.mouse.SetPointerPosition(2000, -5);
  EXPECT_EQ(rig.mouse.PointerX(), 2000);
  rig.Poll({});
  EXPECT_EQ(rig.mouse.PointerX(), 1023);
  EXPECT_EQ(rig.mouse.PointerY(), 0);
}

TEST(Mouse, LastButtonEventWinsAndMoreThan24EventsLoseTheBatch) {
  Rig rig;
  rig.Open();
  rig.Poll({Press(1), Release(1), Press(2), Press(3), Release(3), Press(3), Press(4)});
  EXPECT_EQ(rig.mouse.IsButtonDown(1), 0);
  for (int stray : {0, 4, -1}) EXPECT_EQ(rig.mouse.IsButtonDown(stray), 0) << stray;
  rig.Poll({Press(1)});
  EXPECT_EQ(rig.mouse.IsButtonDown(1) + rig.mouse.IsButtonDown(2) + rig.mouse.IsButtonDown(3), 3);

  ASSERT_EQ(rig.Poll(std::vector<HeadlessInput::Action>(Mouse::kBufferRecords, Move(1, 0))), 1);
  EXPECT_EQ(rig.mouse.PointerX(), 24);
  EXPECT_EQ(rig.Poll(std::vector<HeadlessInput::Action>(Mouse::kBufferRecords + 1, Move(1, 0))), 0);
  EXPECT_EQ(rig.mouse.PointerX(), 24);
  EXPECT_EQ(rig.mouse.IsButtonDown(1) + rig.mouse.IsButtonDown(2), 0);
  EXPECT_EQ(rig.mouse.IsButtonDown(3), 1);
  ASSERT_EQ(rig.Poll({Move(5, 0)}), 1) << "the overflow is over";
  EXPECT_EQ(rig.mouse.PointerX(), 29);
}

TEST(Mouse, FocusLossLetsGoAndTheReturnReacquiresAtTheNextPoll) {
  Rig rig;
  rig.Open();
  rig.Poll({Move(40, 30), Press(1)});
  rig.input.Do(Move(2, 0));
  rig.SetFocus(false);
  EXPECT_FALSE(rig.input.mouse_acquired());
  EXPECT_EQ(rig.Poll({Move(100, 100)}), 0);  // goes to whoever has the focus now
  EXPECT_EQ(rig.mouse.PointerX(), 40);
  EXPECT_EQ(rig.mouse.IsButtonDown(1), 1);

  rig.SetFocus(true);
  EXPECT_EQ(rig.mouse.PollMouse(), 0) << "this poll takes the mouse again";
  EXPECT_EQ(rig.Poll({Move(1, 1)}), 1);
  EXPECT_EQ(rig.mouse.PointerX(), 41);
  EXPECT_EQ(rig.input.mouse_set_ups(), 1) << "focus changes keep the set-up";

  rig.screen.LeaveScreenMode();  // nothing to point at
  EXPECT_FALSE(rig.input.mouse_acquired());
  EXPECT_EQ(rig.Poll({Move(1, 1)}), 0);
}

TEST(Mouse, SuspendLetsGoAndResumeSetsUpAgain) {
  Rig rig;
  rig.Open();
  rig.mouse.SuspendMouse(1);
  EXPECT_FALSE(rig.input.mouse_acquired());
  EXPECT_EQ(rig.Poll({Move(9, 9)}), 0);
  rig.mouse.SuspendMouse(2);  // anything but 1 resumes
  rig.input.FailMouseSetUp(true);
  rig.mouse.PollMouse();
  rig.input.FailMouseSetUp(false);
  rig.mouse.PollMouse();  // the set-up is tried by every poll until it works
  EXPECT_EQ(rig.input.mouse_set_ups(), 2);
  EXPECT_EQ(rig.Poll({Move(9, 9)}), 1);
  EXPECT_EQ(rig.mouse.PointerX(), 9);
}

TEST(Mouse, WheelIsCountedInStepsOfTheDevice) {
  struct Case {
    std::optional<int> granularity;
    int wheel, notches;
  };
  for (const Case& c :
       {Case{120, -240, -2}, Case{120, 100, 0}, Case{120, -119, 0}, Case{std::nullopt, 7, 7}}) {
    Rig rig({.wheel_granularity = c.granularity});
    EXPECT_EQ(rig.mouse.PointerWheel(), 0) << "before any poll";
    rig.Open();
    rig.Poll({{Kind::kWheel, c.wheel}});
    EXPECT_EQ(rig.mouse.PointerWheel(), c.notches);
  }
}

TEST(MouseRecordBuffer, RunsOfMovementAddUpButNotAcrossButtons) {
  using platform::MouseObject;
  platform::MouseRecordBuffer buffer;
  buffer.Reset(3);
  for (auto [axis, delta] :
       {std::pair{MouseObject::kX, 2}, {MouseObject::kY, 1}, {MouseObject::kX, 3}}) {
    buffer.PushMovement(axis, delta);
  }
  buffer.Push({MouseObject::kButton1, 0x80});
  buffer.PushMovement(MouseObject::kX, 4);  // a fourth record: no room
  std::vector<platform::MouseRecord> out(8);
  int count = 0;
  EXPECT_EQ(buffer.Take(out, count), platform::MouseReadResult::kOverflow);
  EXPECT_EQ(count * 100 + out[0].data * 10 + out[1].data, 351);
}

}  // namespace
}  // namespace grumbol
