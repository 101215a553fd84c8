#include <gtest/gtest.h>

#include <QCollator>
#include <algorithm>
#include <numeric>

#include "TestSupport.h"
#include "catalog/CatalogListModel.h"

using namespace bravel;

namespace {

// One column of the texts, keyed "1a", "2a", ... in their order.
void fillList(CatalogListModel& list, const std::vector<QString>& texts) {
    list.setColumns({ListColumn{QStringLiteral("Eingangsdatei"), 1000, QString()}});
    std::vector<ListRow> rows;
    for (size_t i = 0; i < texts.size(); ++i) {
        ListRow row;
        row.key = QString::number(i + 1) + QLatin1Char('a');
        row.cells = {texts[i]};
        rows.push_back(row);
    }
    list.appendRows(std::move(rows));
}

}  // namespace

// Rows sort by their text as the user's locale orders it, ignoring case, equal texts in their old
// order; plain ASCII, capitals, umlauts and other letters all compare as QCollator has them.
TEST(ListSortTest, RowsSortByTheLocalesOrderAndKeepTheOrderOfEqualOnes) {
    const std::vector<QString> texts = {
        QStringLiteral("/b/Zebra"),  QStringLiteral("/b/apfel"),    QString::fromUtf8("/b/Äpfel"),
        QStringLiteral("/b/zebra"),  QStringLiteral("/B/Mitte"),    QString::fromUtf8("/b/ärger"),
        QStringLiteral("/b/Apfel"),  QString::fromUtf8("/b/ΣΟΦΙΑ"), QString::fromUtf8("/b/σοφια"),
        QStringLiteral("/b/APFEL2"), QStringLiteral("/b/"),         QString()};
    for (Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
        CatalogListModel list;
        fillList(list, texts);
        list.sortRows(0, order);

        std::vector<size_t> expected(texts.size());
        std::iota(expected.begin(), expected.end(), 0);
        QCollator collator;
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        std::stable_sort(expected.begin(), expected.end(), [&](size_t a, size_t b) {
            return order == Qt::AscendingOrder ? collator.compare(texts[a], texts[b]) < 0
                                               : collator.compare(texts[b], texts[a]) < 0;
        });
        for (size_t position = 0; position < expected.size(); ++position)
            EXPECT_EQ(list.row(static_cast<int>(position)).key,
                      QString::number(expected[position] + 1) + "a")
                << "position " << position
                << (order == Qt::AscendingOrder ? " ascending" : " descending");
    }
}

// A long list makes its keys on several threads; the order is the one a single collator gives.
TEST(ListSortTest, ALongListSortsAsAShortOneDoes) {
    const QStringList words = {QStringLiteral("Zebra"), QString::fromUtf8("Ärger"),
                               QStringLiteral("apfel"), QString::fromUtf8("Öl"),
                               QStringLiteral("zeile"), QStringLiteral("Mitte")};
    std::vector<QString> texts;
    for (int i = 0; i < 25000; ++i)
        texts.push_back(
            QStringLiteral("/q/%1/%2").arg(words[(i * 7) % words.size()]).arg((i * 7919) % 25000));
    CatalogListModel list;
    fillList(list, texts);
    list.sortRows(0, Qt::AscendingOrder);

    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<QString> expected = texts;
    std::stable_sort(expected.begin(), expected.end(), [&](const QString& a, const QString& b) {
        return collator.compare(a, b) < 0;
    });
    for (int r = 0; r < list.rowCount(); ++r)
        ASSERT_EQ(list.cell(r, 0), expected[static_cast<size_t>(r)]) << "row " << r;
}
