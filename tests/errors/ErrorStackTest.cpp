#include <gtest/gtest.h>

#include "TestSupport.h"
#include "errors/COLError.h"
#include "platform/Clock.h"
#include "platform/Err.h"

using namespace bravel;

class ErrorStackTest : public ::testing::Test {
  protected:
    void SetUp() override { test::resetAll(); }
};

TEST_F(ErrorStackTest, AddStoresTrimmedTextsAndWholeSeconds) {
    COLError stack;
    const QDateTime when(QDate(2026, 12, 8), QTime(14, 3, 22, 987));
    auto record = stack.Add(53, "  Datei  nicht gefunden ", when, " b_gFileExists ", "  ");
    ASSERT_TRUE(record);
    EXPECT_EQ(record->ErrNumber(), 53);
    EXPECT_EQ(record->ErrDescr(), "Datei  nicht gefunden");
    EXPECT_EQ(record->ErrDate(), QDateTime(QDate(2026, 12, 8), QTime(14, 3, 22)));
    EXPECT_EQ(record->ErrModul(), "b_gFileExists");
    EXPECT_EQ(record->ErrEvent(), "");
    EXPECT_EQ(stack.Item(1), record) << "Item shares the record, it does not copy it";
}

TEST_F(ErrorStackTest, KeepsOrderAndFailsOutsideTheRange) {
    COLError stack;
    const QDateTime sameSecond(QDate(2026, 1, 1), QTime(10, 0, 0));
    stack.Add(1, "erste", sameSecond, "m", "e");
    stack.Add(2, "zweite", sameSecond, "m", "e");
    stack.Add(3, "dritte", sameSecond, "m", "e");
    EXPECT_EQ(stack.Item(1)->ErrDescr(), "erste");
    EXPECT_EQ(stack.Item(3)->ErrDescr(), "dritte");

    EXPECT_EQ(stack.Item(0), nullptr);
    EXPECT_EQ(Err.Number, errnum::kSubscriptOutOfRange);
    Err.Clear();
    EXPECT_EQ(stack.Item(stack.Count() + 1), nullptr);
    EXPECT_EQ(Err.Number, errnum::kSubscriptOutOfRange);

    stack.Remove(1);
    EXPECT_EQ(stack.Count(), 2);
    EXPECT_EQ(stack.Item(1)->ErrDescr(), "zweite") << "later records move up";
}

TEST_F(ErrorStackTest, ClearEmptiesAndLeavesNoPendingError) {
    COLError stack;
    stack.Clear();
    EXPECT_EQ(stack.Count(), 0);
    EXPECT_EQ(Err.Number, 0);
    stack.Add(5, "x", QDateTime::currentDateTime(), "m", "e");
    stack.Add(6, "y", QDateTime::currentDateTime(), "m", "e");
    Err.Raise(53);
    stack.Clear();
    EXPECT_EQ(stack.Count(), 0);
    EXPECT_EQ(Err.Number, 0);
}

// A routine in the house style: a failing step is recorded once, the routine goes on and
// still runs its clean-up; its Boolean result stays false.
static bool routineWithFailingStep(bool& cleanedUp) {
    Err.Clear();
    bool result = false;
    Err.Raise(errnum::kFileNotFound);  // the failing step
    gRecordError("b_routine", "step one");
    gRecordError("b_routine", "step two");  // nothing pending any more
    cleanedUp = true;
    return result;
}

TEST_F(ErrorStackTest, RecordingConventionRecordsOnceAndContinues) {
    bool cleanedUp = false;
    EXPECT_FALSE(routineWithFailingStep(cleanedUp));
    EXPECT_TRUE(cleanedUp);
    ASSERT_EQ(gErrorStack.Count(), 1);
    auto record = gErrorStack.Item(1);
    EXPECT_EQ(record->ErrNumber(), 53);
    EXPECT_EQ(record->ErrDescr(), "Datei nicht gefunden");
    EXPECT_EQ(record->ErrModul(), "b_routine");
    EXPECT_EQ(record->ErrEvent(), "step one");
    EXPECT_EQ(Err.Number, 0);
}

TEST_F(ErrorStackTest, CheckpointTestsPositiveOrNonZero) {
    Err.Raise(-2147467259, "negativer Fehler");
    EXPECT_FALSE(gRecordError("b_gCopy", "x")) << "most routines count only numbers above zero";
    EXPECT_EQ(gErrorStack.Count(), 0);
    EXPECT_TRUE(gRecordError("b_mOpenDB", "/a.bvk", ErrorTest::NonZero));
    ASSERT_EQ(gErrorStack.Count(), 1);
    EXPECT_EQ(gErrorStack.Item(1)->ErrNumber(), -2147467259) << "wide numbers are kept whole";
}

TEST_F(ErrorStackTest, RecordingTakesTheClocksTimeInWholeSecondsAndTheStandardText) {
    setClockForTest(QDateTime(QDate(2026, 5, 4), QTime(23, 59, 58, 750)));
    Err.Raise(errnum::kPathNotFound);
    EXPECT_TRUE(gRecordError("v_mFillListBox", "  Dir$(/sicherung/fehlt)  "));
    ASSERT_EQ(gErrorStack.Count(), 1);
    const auto record = gErrorStack.Item(1);
    EXPECT_EQ(record->ErrDate(), QDateTime(QDate(2026, 5, 4), QTime(23, 59, 58)));
    EXPECT_EQ(record->ErrDescr(), "Pfad nicht gefunden");
    EXPECT_EQ(record->ErrEvent(), "Dir$(/sicherung/fehlt)");

    gErrorStack.Remove(2);
    EXPECT_EQ(Err.Number, errnum::kSubscriptOutOfRange) << "Remove of a missing record fails";
    EXPECT_EQ(gErrorStack.Count(), 1);
}
