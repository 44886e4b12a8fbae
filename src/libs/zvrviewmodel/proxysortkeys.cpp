// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "proxysortkeys_p.h"

#include <QLocale>

#include <algorithm>
#include <array>
#include <optional>
#include <thread>

namespace ZVR {
namespace Private {

namespace {

// -1, 0 or 1 as a is ordered before, with or after b.
template<typename T> int compareValues(const T &a, const T &b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

// The first units of a text that a whole-table sort keeps beside each row: most
// comparisons end within them.
constexpr int HeadLength = 20;

// Texts sort as their case-folded forms compare, code unit by code unit. A unit outside
// a surrogate pair folds on its own; a pair folds as one character.
char16_t folded(char16_t unit)
{
    if (unit < 0x80) {
        return unit >= 'A' && unit <= 'Z' ? char16_t(unit + ('a' - 'A')) : unit;
    }
    return char16_t(QChar::toCaseFolded(uint(unit)));
}

int compareFolded(const QString &a, const QString &b)
{
    const int length = std::min(a.size(), b.size());
    for (int i = 0; i < length; ++i) {
        const char16_t x = a.at(i).unicode();
        const char16_t y = b.at(i).unicode();
        if (QChar::isSurrogate(x) || QChar::isSurrogate(y)) {
            return a.toCaseFolded().compare(b.toCaseFolded(), Qt::CaseSensitive);
        }
        if (folded(x) != folded(y)) {
            return folded(x) < folded(y) ? -1 : 1;
        }
    }
    return compareValues(a.size(), b.size());
}

void foldedHead(const QString &text, std::array<char16_t, HeadLength> *head)
{
    const int length = std::min(int(text.size()), HeadLength);
    for (int i = 0; i < length; ++i) {
        if (text.at(i).isSurrogate()) {
            const QString whole = text.toCaseFolded();
            std::copy_n(reinterpret_cast<const char16_t *>(whole.utf16()), length, head->begin());
            return;
        }
        (*head)[size_t(i)] = folded(text.at(i).unicode());
    }
}

// A whole-table sort of this many rows reads its keys and sorts on two threads: the
// first sort by a column reads every record once, which a second core halves.
constexpr size_t TwoThreads = 20000;

// work(begin, end, half) over [0, count): the first half on a thread of its own when
// there are enough, the second on this one.
template<typename Work> void inHalves(size_t count, Work work)
{
    if (count < TwoThreads) {
        work(size_t(0), count, 1);
        return;
    }
    const size_t middle = count / 2;
    std::thread first([&work, middle] { work(size_t(0), middle, 0); });
    work(middle, count, 1);
    first.join();
}

// std::sort(), each half on a thread of its own when there are enough, then merged.
template<typename Items, typename Less> void sortInHalves(Items &items, Less less)
{
    if (items.size() < TwoThreads) {
        std::sort(items.begin(), items.end(), less);
        return;
    }
    const auto middle = items.begin() + std::ptrdiff_t(items.size() / 2);
    std::thread first([&items, middle, &less] { std::sort(items.begin(), middle, less); });
    std::sort(middle, items.end(), less);
    first.join();
    std::inplace_merge(items.begin(), middle, items.end(), less);
}

QCollator naturalCollator()
{
    QCollator collator(QLocale(QLocale::Chinese, QLocale::China));
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    return collator;
}

} // namespace

ProxySortKeys::ProxySortKeys()
    : m_collator(naturalCollator())
{
}

void ProxySortKeys::setSort(bool sorted, int fieldIndex, bool descending)
{
    m_sorted = sorted;
    m_descending = descending;
    m_field = sorted ? fieldIndex : -1;
    m_kind = m_field >= 0 ? field(m_field).sort : SortKind::None;
}

bool ProxySortKeys::keyed() const
{
    return m_kind != SortKind::None && m_kind != SortKind::Row;
}

bool ProxySortKeys::lessThan(ProxyEntry *left, ProxyEntry *right)
{
    if (m_sorted) {
        // Rows without a device go after every device, before them when descending.
        if (!left->device != !right->device) {
            return m_descending == !left->device;
        }
        if (left->device) {
            const int order = compare(left, right);
            if (order != 0) {
                return m_descending ? order > 0 : order < 0;
            }
        }
    }
    // Equal values keep the table's order in either direction.
    return left->row < right->row;
}

void ProxySortKeys::sort(Entries &entries)
{
    if (!m_sorted || m_kind == SortKind::None || m_kind == SortKind::Row) {
        // The table's order: rows without a device go last (first when descending).
        std::sort(entries.begin(), entries.end(), less());
        return;
    }
    struct Item
    {
        qint64 number; // an address or number key
        const void *key; // the text or collator key
        int row;
        ProxyEntry *entry;
    };
    std::vector<Item> items;
    items.reserve(entries.size());
    Entries without;
    for (ProxyEntry *entry : entries) {
        if (entry->device) {
            items.push_back({ 0, nullptr, entry->row, entry });
        } else {
            without.push_back(entry);
        }
    }
    // Names ranked by the last sort by name sort as numbers while none changed.
    const bool byName = m_kind == SortKind::Natural && m_field == DeviceTableModel::ColName;
    bool ranked[2] = { byName && m_rankGeneration != 0, byName && m_rankGeneration != 0 };
    // Each half writes only its own items and records; the collator of the other thread
    // is one of its own.
    inHalves(items.size(), [this, &items, &ranked](size_t begin, size_t end, int half) {
        std::optional<QCollator> own;
        if (half == 0) {
            own.emplace(naturalCollator());
        }
        QCollator &collator = own ? *own : m_collator;
        for (size_t i = begin; i < end; ++i) {
            Item &item = items[i];
            const RecordKeys &keys = keysOf(item.entry, collator);
            if (m_kind == SortKind::Text) {
                item.key = &keys.plain;
            } else if (m_kind == SortKind::Natural) {
                item.key = &*keys.text;
                ranked[half] = ranked[half] && keys.nameRankGeneration == m_rankGeneration;
                item.number = keys.nameRank;
            } else {
                item.number = keys.number;
            }
        }
    });
    const bool descending = m_descending;
    const auto byRow = [](const Item &a, const Item &b) { return a.row < b.row; };
    const auto ordered = [descending, byRow](int order, const Item &a, const Item &b) {
        return order != 0 ? (descending ? order > 0 : order < 0) : byRow(a, b);
    };
    switch (ranked[0] && ranked[1] ? SortKind::Number : m_kind) {
    case SortKind::Text: {
        // A text's first units go beside its row: most comparisons end within them.
        struct TextItem
        {
            Item item;
            int length;
            std::array<char16_t, HeadLength> head;
        };
        std::vector<TextItem> texts;
        texts.reserve(items.size());
        for (const Item &item : items) {
            const auto &text = *static_cast<const QString *>(item.key);
            texts.push_back({ item, int(text.size()), {} });
            foldedHead(text, &texts.back().head);
        }
        sortInHalves(texts, [ordered](const TextItem &a, const TextItem &b) {
            // By folded code unit, then by length.
            const int shorter = std::min({ a.length, b.length, HeadLength });
            const auto heads = std::mismatch(a.head.begin(), a.head.begin() + shorter, b.head.begin());
            if (heads.first != a.head.begin() + shorter) {
                return ordered(*heads.first < *heads.second ? -1 : 1, a.item, b.item);
            }
            if (std::min(a.length, b.length) <= HeadLength) {
                return ordered(compareValues(a.length, b.length), a.item, b.item);
            }
            const auto &left = *static_cast<const QString *>(a.item.key);
            return ordered(compareFolded(left, *static_cast<const QString *>(b.item.key)), a.item, b.item);
        });
        for (size_t i = 0; i < texts.size(); ++i) {
            items[i] = texts[i].item;
        }
        break;
    }
    case SortKind::Natural:
        sortInHalves(items, [ordered](const Item &a, const Item &b) {
            const auto &left = *static_cast<const QCollatorSortKey *>(a.key);
            return ordered(left.compare(*static_cast<const QCollatorSortKey *>(b.key)), a, b);
        });
        if (byName) {
            // Equal names share a rank; ranks rise with the collation in either direction.
            m_rankGeneration = std::max(m_rankGeneration + 1, 1u);
            int rank = 0;
            for (size_t i = 0; i < items.size(); ++i) {
                const auto key = static_cast<const QCollatorSortKey *>(items[i].key);
                if (i > 0 && static_cast<const QCollatorSortKey *>(items[i - 1].key)->compare(*key) != 0) {
                    rank += descending ? -1 : 1;
                }
                items[i].entry->keys.nameRank = rank;
                items[i].entry->keys.nameRankGeneration = m_rankGeneration;
            }
        }
        break;
    default:
        sortInHalves(items, [ordered](const Item &a, const Item &b) {
            return ordered(compareValues(a.number, b.number), a, b);
        });
        break;
    }
    std::sort(without.begin(), without.end(), [](ProxyEntry *a, ProxyEntry *b) { return a->row < b->row; });
    // Rows without a device go after every device, before them when descending.
    Entries sorted;
    sorted.reserve(entries.size());
    if (descending) {
        sorted.insert(sorted.end(), without.begin(), without.end());
    }
    for (const Item &item : items) {
        sorted.push_back(item.entry);
    }
    if (!descending) {
        sorted.insert(sorted.end(), without.begin(), without.end());
    }
    entries.swap(sorted);
}

void ProxySortKeys::forget(ProxyEntry &entry)
{
    entry.keys.sortValid = false;
    entry.keys.text.reset();
    entry.sortStale = false;
}

void ProxySortKeys::refresh(ProxyEntry &entry)
{
    if (entry.sortStale) {
        forget(entry);
        // The row may have been read again without a change signal.
        entry.keys.name.reset();
        entry.keys.nameRankGeneration = 0;
    }
}

int ProxySortKeys::compare(ProxyEntry *left, ProxyEntry *right)
{
    switch (m_kind) {
    case SortKind::None:
        return 0;
    case SortKind::Row:
        return compareValues(left->row, right->row);
    case SortKind::Text:
        return compareFolded(keysOf(left).plain, keysOf(right).plain);
    case SortKind::Natural:
        return keysOf(left).text->compare(*keysOf(right).text);
    case SortKind::Address:
    case SortKind::Number:
        return compareValues(keysOf(left).number, keysOf(right).number);
    }
    return 0;
}

const RecordKeys &ProxySortKeys::keysOf(ProxyEntry *entry)
{
    return keysOf(entry, m_collator);
}

const RecordKeys &ProxySortKeys::keysOf(ProxyEntry *entry, QCollator &collator)
{
    RecordKeys &keys = entry->keys;
    if (keys.sortValid) {
        return keys;
    }
    const DeviceData &device = *entry->device;
    const DeviceField &sorted = field(m_field);
    if (m_kind == SortKind::Natural) {
        if (m_field == DeviceTableModel::ColName) {
            if (!keys.name) {
                keys.name = collator.sortKey(device.name());
            }
            keys.text = keys.name;
        } else {
            keys.text = collator.sortKey((device.*sorted.text)());
        }
    } else if (m_kind == SortKind::Text) {
        // Kept as it is: the sort folds only the units it keeps beside each row.
        keys.plain = (device.*sorted.text)();
    } else {
        keys.number = sorted.number(device);
    }
    keys.sortValid = true;
    return keys;
}

} // namespace Private
} // namespace ZVR
