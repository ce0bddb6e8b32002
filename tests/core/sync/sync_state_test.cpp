#include "core/sync/sync_state.h"
#include "core/sync/sync_state_file.h"

#include <gtest/gtest.h>

namespace {

SyncedBook ReadTo(const QString& key, int chapter, SyncStamp at)
{
    return {
        .key = key, .name = key + QStringLiteral(".txt"), .place = {{chapter, 0}, {}, 0}, .placeStamp = at, .read = at};
}

SyncState Merged(std::initializer_list<const SyncState*> states)
{
    SyncState merged;
    for (const SyncState* state : states)
        MergeSyncState(merged, *state);
    return merged;
}

}  // namespace

// Three computers' states, merged in every order and more than once, give
// one library: the later of each fact, every bookmark, deletions kept.
TEST(SyncMerge, EveryOrderGivesTheSameLibraryWithTheLaterFactsAndTheDeletionsKept)
{
    SyncState a, b, c;
    a.books.insert("k1", ReadTo("k1", 30, 300));
    b.books.insert("k1", ReadTo("k1", 5, 100));  // read less far, earlier
    c.books.insert("k1", ReadTo("k1", 7, 300));  // the same moment as a: settled by the values
    b.books.insert("k2", ReadTo("k2", 2, 200));
    c.books.insert("k2", SyncedBook{.key = "k2", .removed = 250});  // taken off after b read it
    a.books.insert("k3", SyncedBook{.key = "k3", .removed = 150});
    b.books.insert("k3", ReadTo("k3", 9, 160));  // read again after a took it off

    a.bookmarks.insert("m1", {.uid = "m1", .book = "k1", .note = "甲", .created = 10, .noteStamp = 10});
    b.bookmarks.insert("m1", {.uid = "m1", .book = "k1", .note = "乙", .created = 10, .noteStamp = 400});
    c.bookmarks.insert("m1", {.uid = "m1", .book = "k1", .created = 10, .deleted = 50});  // deleted before the edit
    b.bookmarks.insert("m2", {.uid = "m2", .book = "k2", .note = "丙", .created = 20, .noteStamp = 20});

    const SyncState merged = Merged({&a, &b, &c});
    for (const SyncState& other : {Merged({&c, &b, &a}), Merged({&b, &a, &c, &b}), Merged({&c, &a, &b, &c, &a})})
        EXPECT_EQ(other, merged);

    EXPECT_EQ(merged.books["k1"].place.place.chapter, 30);  // 30 sorts after 7 at the same stamp
    EXPECT_TRUE(merged.books["k2"].Removed());
    EXPECT_FALSE(merged.books["k3"].Removed());
    EXPECT_EQ(merged.books["k3"].place.place.chapter, 9);
    EXPECT_NE(merged.bookmarks["m1"].deleted, 0);  // a deletion is never undone
    EXPECT_EQ(merged.bookmarks["m2"].note, QStringLiteral("丙"));
    EXPECT_EQ(merged.Latest(), 300);  // the edit went with the deleted bookmark

    const SyncStateFile file{"machine-a", "桌面", merged};
    const QByteArray bytes = EncodeSyncStateFile(file);
    const std::optional<SyncStateFile> read = DecodeSyncStateFile(bytes);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->state, merged);
    EXPECT_EQ(read->machine, file.machine);
    for (const qsizetype cut : {qsizetype{0}, qsizetype{5}, bytes.size() / 2, bytes.size() - 1})
        EXPECT_FALSE(DecodeSyncStateFile(bytes.left(cut))) << cut;
}

// A computer whose clock runs an hour behind still makes a change later
// than one it has read; changes made without knowing of each other go by
// the wall clocks.
TEST(SyncClock, AChangeMadeAfterReadingAnotherIsLaterEvenWhenTheClockIsBehind)
{
    constexpr SyncStamp kHour = 3600 * 1000;
    SyncClock ahead;
    SyncClock behind;
    const SyncStamp first = ahead.StampFor(10 * kHour);
    EXPECT_EQ(first, 10 * kHour);
    behind.Observe(first);
    EXPECT_GT(behind.StampFor(9 * kHour + 5), first);
    // Two changes found in one round keep their own order.
    EXPECT_LT(ahead.StampFor(10 * kHour + 7), ahead.StampFor(10 * kHour + 9));
}
