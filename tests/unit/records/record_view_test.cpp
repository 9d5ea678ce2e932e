// What the record tables show: filtering and sorting by record, the grid left as downloaded.

#include "records/RecordView.h"

#include <gtest/gtest.h>

using namespace zav;

namespace {

TextGrid historyGrid(const std::vector<std::array<const char*, 3>>& rows) {
    TextGrid grid(3, int(rows.size()));
    for (int r = 0; r < int(rows.size()); ++r)
        for (int c = 0; c < 3; ++c) grid.set(c, r, QString::fromUtf8(rows[size_t(r)][size_t(c)]));
    return grid;
}

// S-code records of nine rows: the title, then eight lines naming the record's letter.
TextGrid scodeGrid(const QStringList& titles, int records) {
    TextGrid grid(1, records * 9);
    for (int n = 0; n < titles.size(); ++n) {
        grid.set(0, n * 9, titles[n]);
        for (int line = 1; line < 9; ++line)
            grid.set(0, n * 9 + line,
                     QStringLiteral("S%1: ").arg(line - 1) + QString::number(n) + "000-0000-0000-000" +
                         QString::number(line));
    }
    return grid;
}

const TextGrid kHistory = historyGrid({{"Num.", "EventLog", "DateAndTime"},
                                       {"1", "Utility Fail", "2013-07-05 08:03:09"},
                                       {"2", "05#Module Exit", "2012-01-01 00:00:00"},
                                       {"10", "utility fail", "2013-07-05 08:03:09"},
                                       {"9", "Battery Low", "2014-02-03 10:00:00"},
                                       {"", "", ""},
                                       {"", "", ""}});

TEST(RecordView, SortsHistoryRecordsAndKeepsTheTitleAndTheEmptyRowsInPlace) {
    const struct {
        RecordSort sort;
        QVector<int> order;
    } cases[] = {
        {{}, {0, 1, 2, 3, 4, 5, 6}},
        // numbers as numbers: 10 after 9
        {{0, SortDirection::Ascending}, {0, 1, 2, 4, 3, 5, 6}},
        {{0, SortDirection::Descending}, {0, 3, 4, 2, 1, 5, 6}},
        // text without case; equal keys keep the download order in both directions
        {{1, SortDirection::Ascending}, {0, 2, 4, 1, 3, 5, 6}},
        {{1, SortDirection::Descending}, {0, 1, 3, 4, 2, 5, 6}},
        {{2, SortDirection::Ascending}, {0, 2, 1, 3, 4, 5, 6}},
        {{2, SortDirection::Descending}, {0, 4, 1, 3, 2, 5, 6}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(recordRowOrder(kHistory, kHistoryLayout, c.sort, historySortText), c.order)
            << c.sort.key << " " << int(c.sort.direction);
}

TEST(RecordView, RunningHoursAndCalendarStampsOrderAsText) {
    const TextGrid grid = historyGrid({{"Num.", "EventLog", "DateAndTime"},
                                       {"1", "a", "00773:41:00"},
                                       {"2", "b", "01002:00:00"},
                                       {"3", "c", "00099:59:59"}});
    EXPECT_EQ(recordRowOrder(grid, kHistoryLayout, {2, SortDirection::Ascending}, historySortText),
              QVector<int>({0, 3, 1, 2}));
    EXPECT_LT(compareSortTexts("9", "10"), 0);
    EXPECT_GT(compareSortTexts("b", "A"), 0);
    EXPECT_EQ(compareSortTexts("Set", "set"), 0);
    EXPECT_LT(compareSortTexts("", "1"), 0);
}

TEST(RecordView, SortsSCodeRecordsAsBlocksOfNineRows) {
    const TextGrid grid = scodeGrid({"01 SCode 02# 2014-06-09 17:05:00", "02 SCode 01# 2013-01-01 00:00:00",
                                     "10 SCode 01# 2015-03-03 03:03:03"},
                                    4);
    auto blocks = [](QVector<int> order) {
        // Each record's nine rows must follow each other; returns the records in listed order.
        QVector<int> records;
        for (int i = 0; i < order.size(); i += 9) {
            for (int line = 0; line < 9; ++line) EXPECT_EQ(order[i + line], order[i] + line) << i;
            EXPECT_EQ(order[i] % 9, 0);
            records << order[i] / 9;
        }
        return records;
    };
    const struct {
        RecordSort sort;
        QVector<int> records;
    } cases[] = {
        {{}, {0, 1, 2, 3}},
        {{0, SortDirection::Descending}, {2, 1, 0, 3}},
        {{1, SortDirection::Ascending}, {1, 0, 2, 3}},
        {{1, SortDirection::Descending}, {2, 0, 1, 3}},
    };
    for (const auto& c : cases) {
        const QVector<int> order = recordRowOrder(grid, kSCodeLayout, c.sort, scodeSortText);
        ASSERT_EQ(order.size(), grid.rows());
        EXPECT_EQ(blocks(order), c.records) << c.sort.key << " " << int(c.sort.direction);
    }
    EXPECT_EQ(scodeSortText(grid, 9, 0), "02");
    EXPECT_EQ(scodeSortText(grid, 9, 1), "2013-01-01 00:00:00");
}

TEST(RecordView, FilterKeepsWholeRecords) {
    const TextGrid grid = scodeGrid({"01 SCode 02# 2014-06-09 17:05:00", "02 SCode 01# 2013-01-01 00:00:00"}, 3);
    auto shownRecords = [&](const char* filter) {
        const QVector<bool> shown = recordsMatching(grid, kSCodeLayout, QString::fromLatin1(filter));
        QVector<int> records;
        for (int first = 0; first < grid.rows(); first += 9) {
            for (int line = 1; line < 9; ++line) EXPECT_EQ(shown[first + line], shown[first]) << filter;
            if (shown[first]) records << first / 9;
        }
        return records;
    };
    EXPECT_EQ(shownRecords(""), QVector<int>({0, 1, 2}));
    EXPECT_EQ(shownRecords("2013-01"), QVector<int>({1})) << "a title match shows the eight lines too";
    EXPECT_EQ(shownRecords("1000-0000"), QVector<int>({1})) << "a line match shows the title too";
    EXPECT_EQ(shownRecords("scode"), QVector<int>({0, 1}));
    EXPECT_EQ(shownRecords("nothing"), QVector<int>());

    const QVector<bool> history = recordsMatching(kHistory, kHistoryLayout, "utility");
    EXPECT_EQ(history, QVector<bool>({true, true, false, true, false, false, false}));
}

TEST(RecordView, TitleClicksTurnAscendingDescendingThenDownloadOrder) {
    RecordSort sort;
    sort = nextSort(sort, 2);
    EXPECT_EQ(sort, (RecordSort{2, SortDirection::Ascending}));
    sort = nextSort(sort, 2);
    EXPECT_EQ(sort, (RecordSort{2, SortDirection::Descending}));
    EXPECT_EQ(nextSort(sort, 1), (RecordSort{1, SortDirection::Ascending})) << "another column starts anew";
    sort = nextSort(sort, 2);
    EXPECT_EQ(sort, RecordSort{});
    EXPECT_EQ(sort.direction, SortDirection::None);
}

TEST(RecordView, TheSCodeRecordOfAnyOfItsRows) {
    const TextGrid grid = scodeGrid({"01 SCode 02# 2014-06-09 17:05:00", "02 SCode 01# 2013-01-01 00:00:00"}, 3);
    for (int row : {9, 13, 17}) {
        const QStringList lines = scodeRecordLines(grid, row);
        ASSERT_EQ(lines.size(), 9) << row;
        EXPECT_EQ(lines.first(), "02 SCode 01# 2013-01-01 00:00:00");
        EXPECT_EQ(lines.last(), "S7: 1000-0000-0000-0008");
    }
    EXPECT_TRUE(scodeRecordLines(grid, 18).isEmpty()) << "an empty record";
    EXPECT_TRUE(scodeRecordLines(grid, -1).isEmpty());
    EXPECT_TRUE(scodeRecordLines(grid, 27).isEmpty());
    TextGrid typed(1, 9);
    typed.set(0, 0, "S0: 1000-0000-0000-0000"); // lines without a title are no record
    EXPECT_TRUE(scodeRecordLines(typed, 0).isEmpty());
}

TEST(RecordView, FirstRowOfARecord) {
    EXPECT_EQ(recordFirstRow(kHistoryLayout, 0), 0);
    EXPECT_EQ(recordFirstRow(kHistoryLayout, 7), 7);
    EXPECT_EQ(recordFirstRow(kSCodeLayout, 0), 0);
    EXPECT_EQ(recordFirstRow(kSCodeLayout, 8), 0);
    EXPECT_EQ(recordFirstRow(kSCodeLayout, 9), 9);
    EXPECT_EQ(recordFirstRow(kSCodeLayout, 17), 9);
}

} // namespace
