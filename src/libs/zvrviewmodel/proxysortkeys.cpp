// SPDX-FileCopyrightText: 2026 The zvrviewmodel authors
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "proxysortkeys_p.h"

#include "twothreads_p.h"

#include <QLocale>

#include <algorithm>
#include <array>
#include <memory>
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

QCollator naturalCollator()
{
    QCollator collator(QLocale(QLocale::Chinese, QLocale::China));
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    return collator;
}

struct SortItem
{
    qint64 number; // an address or number key
    const void *key; // the text or collator key
    int row;
    bool device; // rows without one are sorted apart
    ProxyEntry *entry;
};

struct TextItem
{
    SortItem item;
    int length;
    std::array<char16_t, HeadLength> head; // the first units, folded
};

SortItem &itemOf(SortItem &item)
{
    return item;
}

const SortItem &itemOf(const SortItem &item)
{
    return item;
}

SortItem &itemOf(TextItem &text)
{
    return text.item;
}

const SortItem &itemOf(const TextItem &text)
{
    return text.item;
}

// The items of a whole-table sort, left unset: the threads that fill them touch their pages.
template<typename Item> struct Items
{
    std::unique_ptr<Item[]> data;
    size_t size = 0;
    Item *begin() const { return data.get(); }
    Item *end() const { return data.get() + size; }
};

/*! One item per entry, on two threads when there are enough: read(item, collator, thread)
 *  fills the item of a row with a device. Rows without one go to \a without, by row.
 */
template<typename Item, typename Read>
Items<Item> readItems(const Entries &entries, Entries *without, Read read)
{
    Items<Item> items { std::unique_ptr<Item[]>(new Item[entries.size()]), entries.size() };
    size_t missing[2] = {};
    // The other thread's collator is one of its own.
    std::optional<QCollator> own;
    if (items.size >= TwoThreads) {
        own.emplace(naturalCollator());
    }
    inTwoThreads(items.size, [&](size_t begin, size_t end, int thread) {
        for (size_t i = begin; i < end; ++i) {
            SortItem &item = itemOf(items.data[i]);
            item.entry = entries[i];
            item.row = item.entry->row;
            item.device = item.entry->device != nullptr;
            if (item.device) {
                read(items.data[i], thread == 0 ? &*own : nullptr, thread);
            } else {
                ++missing[thread];
            }
        }
    });
    if (missing[0] + missing[1] > 0) {
        Item *kept = items.begin();
        for (const Item &item : items) {
            if (itemOf(item).device) {
                *kept++ = item;
            } else {
                without->push_back(itemOf(item).entry);
            }
        }
        items.size = size_t(kept - items.begin());
        std::sort(
            without->begin(), without->end(), [](ProxyEntry *a, ProxyEntry *b) { return a->row < b->row; });
    }
    return items;
}

/*! Sorts \a items as \a less does into \a entries from \a first: each half on a thread of
 *  its own when there are enough, then merged on both, one thread taking the smallest
 *  from the front and the other the largest from the back until each has filled its
 *  half. No two items are equal under \a less.
 */
template<typename Item, typename Less>
void sortInto(Items<Item> &items, Entries &entries, size_t first, Less less)
{
    Item *const begin = items.begin();
    Item *const end = items.end();
    ProxyEntry **const out = entries.data() + first;
    if (items.size < TwoThreads) {
        std::sort(begin, end, less);
        for (size_t i = 0; i < items.size; ++i) {
            out[i] = itemOf(begin[i]).entry;
        }
        return;
    }
    Item *const middle = begin + items.size / 2;
    std::thread firstHalf([begin, middle, &less] { std::sort(begin, middle, less); });
    std::sort(middle, end, less);
    firstHalf.join();
    const size_t half = items.size / 2;
    std::thread front([&] {
        const Item *left = begin;
        const Item *right = middle;
        for (size_t i = 0; i < half; ++i) {
            out[i]
                = itemOf(*(right == end || (left != middle && less(*left, *right)) ? left++ : right++)).entry;
        }
    });
    const Item *left = middle;
    const Item *right = end;
    for (size_t i = items.size; i > half; --i) {
        out[i - 1]
            = itemOf(*(left == begin || (right != middle && less(left[-1], right[-1])) ? --right : --left))
                  .entry;
    }
    front.join();
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
    // The keys read for another sort are of no use: each is read anew when next compared.
    m_generation = std::max(m_generation + 1, 1u);
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
    // Names ranked by the last sort by name sort as numbers while none changed.
    const bool byName = m_kind == SortKind::Natural && m_field == DeviceTableModel::ColName;
    bool ranked[2] = { byName && m_rankGeneration != 0, byName && m_rankGeneration != 0 };
    // Each thread writes only its own items and records.
    const auto read = [this, &ranked](SortItem &item, QCollator *own, int thread) {
        const RecordKeys &keys = keysOf(item.entry, own ? *own : m_collator);
        if (m_kind == SortKind::Text) {
            item.key = &keys.plain;
        } else if (m_kind == SortKind::Natural) {
            item.key = &*keys.text;
            if (keys.nameRankGeneration != m_rankGeneration) {
                ranked[thread] = false;
            }
            item.number = keys.nameRank;
        } else {
            item.number = keys.number;
        }
    };
    const bool descending = m_descending;
    const auto ordered = [descending](int order, const SortItem &a, const SortItem &b) {
        return order != 0 ? (descending ? order > 0 : order < 0) : a.row < b.row;
    };
    // Rows without a device go after every device, before them when descending.
    Entries without;
    const auto placeWithout = [&entries, &without, descending](size_t devices) {
        std::copy(without.begin(), without.end(), entries.begin() + std::ptrdiff_t(descending ? 0 : devices));
        return descending ? without.size() : 0;
    };
    if (m_kind == SortKind::Text) {
        // A text's first units go beside its row: most comparisons end within them.
        Items<TextItem> texts
            = readItems<TextItem>(entries, &without, [&read](TextItem &text, QCollator *own, int thread) {
                  read(text.item, own, thread);
                  const auto &plain = *static_cast<const QString *>(text.item.key);
                  text.length = int(plain.size());
                  foldedHead(plain, &text.head);
              });
        sortInto(texts, entries, placeWithout(texts.size), [ordered](const TextItem &a, const TextItem &b) {
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
        return;
    }
    Items<SortItem> items = readItems<SortItem>(entries, &without, read);
    const size_t first = placeWithout(items.size);
    if (m_kind != SortKind::Natural || (ranked[0] && ranked[1])) {
        sortInto(items, entries, first, [ordered](const SortItem &a, const SortItem &b) {
            return ordered(compareValues(a.number, b.number), a, b);
        });
        return;
    }
    sortInto(items, entries, first, [ordered](const SortItem &a, const SortItem &b) {
        const auto &left = *static_cast<const QCollatorSortKey *>(a.key);
        return ordered(left.compare(*static_cast<const QCollatorSortKey *>(b.key)), a, b);
    });
    if (byName) {
        // Equal names share a rank; ranks rise with the collation in either direction.
        m_rankGeneration = std::max(m_rankGeneration + 1, 1u);
        int rank = 0;
        for (size_t i = first; i < first + items.size; ++i) {
            RecordKeys &keys = entries[i]->keys;
            if (i > first && entries[i - 1]->keys.text->compare(*keys.text) != 0) {
                rank += descending ? -1 : 1;
            }
            keys.nameRank = rank;
            keys.nameRankGeneration = m_rankGeneration;
        }
    }
}

void ProxySortKeys::refresh(ProxyEntry &entry)
{
    if (entry.sortStale) {
        entry.keys.sortGeneration = 0;
        entry.keys.text.reset();
        entry.sortStale = false;
        // The row may have been read again without a change signal.
        entry.keys.name.reset();
        entry.keys.nameRankGeneration = 0;
    }
}

bool ProxySortKeys::readName(ProxyEntry &entry)
{
    return entry.device && readName(entry, m_collator);
}

bool ProxySortKeys::readName(ProxyEntry &entry, QCollator &collator)
{
    if (entry.keys.name) {
        return false;
    }
    entry.keys.name = collator.sortKey(entry.device->name());
    return true;
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
    if (keys.sortGeneration == m_generation) {
        return keys;
    }
    const DeviceData &device = *entry->device;
    const DeviceField &sorted = field(m_field);
    if (m_kind == SortKind::Natural) {
        if (m_field == DeviceTableModel::ColName) {
            readName(*entry, collator);
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
    keys.sortGeneration = m_generation;
    return keys;
}

} // namespace Private
} // namespace ZVR
