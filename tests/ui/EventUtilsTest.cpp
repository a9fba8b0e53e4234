// Idle actions and the idle multicast, raised directly and inside a modal loop.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "errors/Exceptions.h"
#include "tests/host/DialogWatcher.h"
#include "ui/EventUtils.h"
#include "ui/Forms.h"

namespace {

class IdleEvents : public ::testing::Test {
 protected:
  void SetUp() override {
    Application.OnException = [this](TComponent*, std::exception_ptr error) { Log.push_back(ExceptionText(error)); };
  }
  void TearDown() override {
    Application.OnException = nullptr;
    EXPECT_FALSE(IdleMulticastExists());
  }
  TNotifyEvent Record(const std::string& name) {
    return [this, name](TComponent* sender) {
      EXPECT_EQ(sender, nullptr);
      Log.push_back(name);
    };
  }

  TComponent FOwner{nullptr};
  std::vector<std::string> Log;
};

TEST_F(IdleEvents, ActionsRunNewestFirstAndOnlyOnceThenTheIdleEventIsEmpty) {
  RunOnIdle(&FOwner, Record("first"));
  RunOnIdle(&FOwner, Record("second"));
  EXPECT_TRUE(Application.OnIdle);
  EXPECT_EQ(FOwner.Components().size(), 2u);
  EXPECT_TRUE(Application.Idle());
  EXPECT_EQ(Log, (std::vector<std::string>{"second", "first"}));
  EXPECT_FALSE(Application.OnIdle);
  EXPECT_TRUE(FOwner.Components().empty());
  Application.Idle();
  EXPECT_EQ(Log.size(), 2u);

  RunOnIdle(&FOwner, Record("again"));
  EXPECT_TRUE(Application.OnIdle);
  Application.Idle();
  EXPECT_EQ(Log.back(), "again");
}

TEST_F(IdleEvents, AnActionScheduledByAnActionRunsAtTheNextIdleMoment) {
  RunOnIdle(&FOwner, [this](TComponent*) {
    Log.push_back("outer");
    RunOnIdle(&FOwner, Record("inner"));
  });
  Application.Idle();
  EXPECT_EQ(Log, std::vector<std::string>{"outer"});
  Application.Idle();
  EXPECT_EQ(Log, (std::vector<std::string>{"outer", "inner"}));
}

TEST_F(IdleEvents, AnActionWhoseOwnerIsGoneNeverRuns) {
  auto* owner = new TComponent(nullptr);
  RunOnIdle(owner, Record("orphan"));
  RunOnIdle(&FOwner, Record("kept"));
  delete owner;
  Application.Idle();
  EXPECT_EQ(Log, std::vector<std::string>{"kept"});

  owner = new TComponent(nullptr);
  RunOnIdle(owner, Record("orphan"));
  delete owner;
  EXPECT_FALSE(IdleMulticastExists());
  EXPECT_FALSE(Application.OnIdle);
}

TEST_F(IdleEvents, AnActionThatRaisesIsReportedAndNotRunAgain) {
  int runs = 0;
  RunOnIdle(&FOwner, [&](TComponent*) {
    ++runs;
    throw EListError("idle failed");
  });
  Application.Idle();
  Application.Idle();
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(Log, std::vector<std::string>{"idle failed"});
}

TEST_F(IdleEvents, AHandlerThatDestroysTheMulticastEndsTheDispatch) {
  const int older = 0;
  const int newer = 0;
  const int32_t generation = IdleGeneration();
  AddIdleHandler(&older, [this](TComponent*, bool&) { Log.push_back("older"); });
  AddIdleHandler(&newer, [&](TComponent*, bool& done) {
    Log.push_back("newer");
    done = false;
    RemoveIdleHandler(&newer);
    RemoveIdleHandler(&older);
  });
  EXPECT_FALSE(Application.Idle());
  EXPECT_EQ(Log, std::vector<std::string>{"newer"});
  EXPECT_EQ(IdleGeneration(), generation + 1);
}

TEST_F(IdleEvents, RemovingMovesTheLastEntryIntoTheFreedSlot) {
  const int keys[3] = {};
  for (const int& key : keys)
    AddIdleHandler(&key, [this, &key, &keys](TComponent*, bool&) { Log.push_back(std::to_string(&key - keys)); });
  RemoveIdleHandler(&keys[0]);
  Application.Idle();
  EXPECT_EQ(Log, (std::vector<std::string>{"1", "2"}));
  RemoveIdleHandler(&keys[1]);
  RemoveIdleHandler(&keys[1]);
  RemoveIdleHandler(&keys[2]);
}

TEST_F(IdleEvents, TheModalLoopRaisesTheIdleEvent) {
  TForm form(nullptr);
  form.OnShow = [&](TComponent*) {
    RunOnIdle(&form, Record("first"));
    RunOnIdle(&form, [&](TComponent*) {
      Log.push_back("second");
      RunOnIdle(&form, [&](TComponent*) { form.SetModalResult(mrIgnore); });
      // The loop waits for a message before its next idle moment.
      PostMessageA(form.Handle(), WM_NULL, 0, 0);
    });
  };
  EXPECT_EQ(form.ShowModal(), mrIgnore);
  EXPECT_EQ(Log, (std::vector<std::string>{"second", "first"}));
}

TEST_F(IdleEvents, AFormDestroyedBeforeTheIdleMomentTakesItsActionsAlong) {
  auto* form = new TForm(nullptr);
  RunOnIdle(form, Record("never"));
  ScheduleButtonRepaint(form);
  delete form;
  Application.Idle();
  EXPECT_TRUE(Log.empty());
}

}  // namespace
