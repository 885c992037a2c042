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
using Actions = std::vector<HeadlessInput::Action>;

HeadlessInput::Action Move(int dx, int dy) { return {Kind::kMove, dx, dy}; }
HeadlessInput::Action Press(int button) { return {Kind::kButtonDown, button}; }
HeadlessInput::Action Release(int button) { return {Kind::kButtonUp, button}; }
HeadlessInput::Action KeyDown(int code) { return {Kind::kKeyDown, code}; }

// The game's wiring: one screen, the shared input service, the keyboard and the mouse, started
// as the game starts them (the 1024x768 screen open, the mouse set up).
struct Rig : testing::HeadlessScreen {
  explicit Rig(HeadlessInput::Options options = {}, bool open = true) : input(options) {
    if (!open) return;
    Open();
    mouse.StartMouse();
    mouse.PollMouse();
  }
  int Poll(const Actions& actions) {
    input.Do(actions);
    return mouse.PollMouse();
  }

  HeadlessInput input;
  InputService input_service{input};
  Keyboard keyboard{input_service, screen};
  Mouse mouse{input_service, screen};
};

TEST(Keyboard, ReadsHeldKeysAtEachPollAndMinusOneForAnyButCode255) {
  Rig rig({}, false);
  EXPECT_EQ(rig.keyboard.PollKeyboard(), 0);  // no device yet
  rig.screen.StartVideo();                    // starts the keyboard too
  EXPECT_EQ(rig.keyboard.state(), Keyboard::State::kSetUpPending);
  rig.input.Do({KeyDown(33), KeyDown(255)});
  EXPECT_EQ(rig.keyboard.IsKeyDown(33), 0) << "no poll yet";
  ASSERT_EQ(rig.keyboard.PollKeyboard(), 1);
  EXPECT_EQ(rig.keyboard.IsKeyDown(33), 128);
  EXPECT_EQ(rig.keyboard.IsKeyDown(46), 0);
  rig.input.Do({{Kind::kKeyUp, 33}, KeyDown(1), {Kind::kKeyUp, 1}});
  rig.keyboard.PollKeyboard();
  EXPECT_EQ(rig.keyboard.IsKeyDown(33) + rig.keyboard.IsKeyDown(1), 0);
  EXPECT_EQ(rig.keyboard.IsKeyDown(-1), 0) << "code 255 is not any key";
  for (int stray : {-2, 256}) EXPECT_EQ(rig.keyboard.IsKeyDown(stray), 0);
  rig.input.Do(KeyDown(1));
  rig.keyboard.PollKeyboard();
  EXPECT_EQ(rig.keyboard.IsKeyDown(-1), 1);
  rig.keyboard.EndKeyboard();
  EXPECT_EQ(rig.keyboard.IsKeyDown(1), 0);
  EXPECT_FALSE(rig.input.started()) << "the last user lets the service go";
}

TEST(Input, FailedStartsAnswerZeroAndTouchNothing) {
  for (const HeadlessInput::Options& options :
       {HeadlessInput::Options{.can_start = false},
        HeadlessInput::Options{.has_keyboard = false, .has_mouse = false}}) {
    Rig rig(options, false);
    EXPECT_EQ(rig.screen.StartVideo(), 0) << "the keyboard start fails";
    EXPECT_EQ(rig.keyboard.PollKeyboard(), 0);
    EXPECT_EQ(rig.mouse.StartMouse(), 0);
    EXPECT_EQ(rig.mouse.PollMouse(), 0);
    rig.mouse.EndMouse();
    rig.keyboard.EndKeyboard();
    EXPECT_EQ(rig.input_service.users(), 0);
  }
}

// The deltas are the last poll's movement, unclamped.
TEST(Mouse, PointerIsTheClampedSumOfMovementWithoutOvershoot) {
  struct Case {
    std::vector<Actions> polls;
    int x, y, dx, dy;
  };
  const Case cases[] = {
      {{{Move(-50, -50)}, {Move(7, 9)}}, 7, 9, 7, 9},
      {{{Move(5000, 0)}, {Move(-3, 0)}}, 1020, 0, -3, 0},
      {{{Move(0, 5000)}, {Move(0, -10)}}, 0, 757, 0, -10},
      {{{Move(1023, 767)}}, 1023, 767, 1023, 767},
      {{{Move(1024, 768)}}, 1023, 767, 1024, 768},
      {{Actions(10, Move(3, 0)), {Move(0, 202), Move(0, 0)}}, 30, 202, 0, 202},
  };
  for (const Case& c : cases) {
    Rig rig;
    for (const Actions& poll : c.polls) ASSERT_EQ(rig.Poll(poll), 1);
    EXPECT_EQ(std::vector({rig.mouse.PointerX(), rig.mouse.PointerY(), rig.mouse.PointerDeltaX(),
                           rig.mouse.PointerDeltaY()}),
              std::vector({c.x, c.y, c.dx, c.dy}))
        << "case " << &c - cases;
  }
}

TEST(Mouse, LastButtonEventWinsAndALostBatchLetsGoOfTheMainButtons) {
  Rig rig;
  rig.Poll({Press(1), Release(1), Press(2), Press(3), Release(3), Press(3), Press(4)});
  EXPECT_EQ(rig.mouse.IsButtonDown(1), 0);
  for (int stray : {0, 4, -1}) EXPECT_EQ(rig.mouse.IsButtonDown(stray), 0) << stray;
  rig.Poll({Press(1)});
  EXPECT_EQ(rig.mouse.IsButtonDown(1) + rig.mouse.IsButtonDown(2) + rig.mouse.IsButtonDown(3), 3);

  ASSERT_EQ(rig.Poll(Actions(Mouse::kBufferRecords, Move(1, 0))), 1);
  EXPECT_EQ(rig.mouse.PointerX(), 24);
  // Its releases may be among the lost events.
  EXPECT_EQ(rig.Poll(Actions(Mouse::kBufferRecords + 1, Move(1, 0))), 0);
  EXPECT_EQ(rig.mouse.PointerX(), 24);
  EXPECT_EQ(rig.mouse.IsButtonDown(1) + rig.mouse.IsButtonDown(2), 0);
  EXPECT_EQ(rig.mouse.IsButtonDown(3), 1);
  ASSERT_EQ(rig.Poll({Move(5, 0)}), 1) << "the overflow is over";
  EXPECT_EQ(rig.mouse.PointerX(), 29);
}

TEST(MouseRecordBuffer, RunsOfMovementAddUpPerAxisButNotAcrossButtons) {
  using platform::MouseObject;
  platform::MouseRecordBuffer buffer;
  buffer.Reset(3);
  buffer.PushMovement(MouseObject::kX, 2);
  buffer.PushMovement(MouseObject::kY, 1);
  buffer.PushMovement(MouseObject::kX, 3);
  buffer.Push({MouseObject::kButton1, 0x80});
  buffer.PushMovement(MouseObject::kX, 4);  // a fourth record: no room
  std::vector<platform::MouseRecord> out(8);
  int count = 0;
  EXPECT_EQ(buffer.Take(out, count), platform::MouseReadResult::kOverflow);
  ASSERT_EQ(count, 3);
  EXPECT_EQ(out[0].data, 5);
  EXPECT_EQ(out[1].data, 1);
  EXPECT_EQ(out[2].object, MouseObject::kButton1);
}

}  // namespace
}  // namespace grumbol
