#include "model/sheet.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

#include "model/sheets.h"

namespace kestra {

namespace {

// Every number a row can carry, zero-padded to six digits in six-character slots: the cells
// are views into it. Made in blocks as rows are asked for, so a short song touches little of it.
constexpr int kNumberSlots = 1 << 17;  // past kMaxChannelLines and the Show Song row limit
constexpr size_t kSlot = 6;
constexpr int kBlock = 4096;

const char* numberSlot(int v) {
    static std::array<std::unique_ptr<char[]>, kNumberSlots / kBlock> blocks;
    static std::mutex building;
    static std::array<std::atomic<const char*>, kNumberSlots / kBlock> ready{};
    const auto b = static_cast<size_t>(v / kBlock);
    const char* block = ready[b].load(std::memory_order_acquire);
    if (!block) {
        std::lock_guard lock(building);
        if (!blocks[b]) {
            blocks[b] = std::make_unique<char[]>(static_cast<size_t>(kBlock) * kSlot);
            for (int i = 0; i < kBlock; ++i) {
                char* slot = blocks[b].get() + static_cast<size_t>(i) * kSlot;
                int n = static_cast<int>(b) * kBlock + i;
                for (int d = static_cast<int>(kSlot) - 1; d >= 0; --d, n /= 10)
                    slot[d] = static_cast<char>('0' + n % 10);
            }
            ready[b].store(blocks[b].get(), std::memory_order_release);
        }
        block = blocks[b].get();
    }
    return block + static_cast<size_t>(v % kBlock) * kSlot;
}

size_t digitsOf(long long v) {
    size_t d = 1;
    for (; v >= 10; v /= 10) ++d;
    return d;
}

std::string_view numberText(long long v, size_t minDigits) {
    if (v < 0 || v >= kNumberSlots) return {};
    const size_t n = std::max(minDigits, digitsOf(v));
    return std::string_view(numberSlot(static_cast<int>(v)) + kSlot - n, n);
}

}  // namespace

std::string_view numberingCell(int row, int col) {
    const int count = row % kCountWrap;
    switch (col) {
        case 0:
            return numberText(row, 3);
        case 1:
            return count == 0 ? "-0-" : row % kBeatSpacing == 0 ? "--" : "";
        default:
            return numberText(count, 3);
    }
}

std::string_view plainNumber(long long v) {
    return numberText(v, 1);
}

namespace {

// The records of every empty sheet; shared for good, so never changed in place.
const std::shared_ptr<std::string>& noRecords() {
    static const auto none = std::make_shared<std::string>();
    return none;
}

}  // namespace

Sheet::Sheet(SheetKind kind, int rows) : kind_(kind), layout_(&layoutOf(kind)), text_(noRecords()) {
    setRowCount(rows);
}

Sheet::Sheet(Sheet&& other) noexcept
    : kind_(other.kind_),
      layout_(other.layout_),
      rows_(other.rows_),
      text_(std::move(other.text_)) {
    other.rows_ = 0;
    other.text_ = noRecords();
}

Sheet& Sheet::operator=(Sheet&& other) noexcept {
    if (this != &other) {
        kind_ = other.kind_;
        layout_ = other.layout_;
        rows_ = other.rows_;
        text_ = std::move(other.text_);
        other.rows_ = 0;
        other.text_ = noRecords();
    }
    return *this;
}

std::string& Sheet::own() {
    if (text_.use_count() > 1) text_ = std::make_shared<std::string>(*text_);
    return *text_;
}

void Sheet::replaceText(size_t at, size_t count, std::string_view with) {
    if (text_.use_count() == 1) {
        text_->replace(at, count, with);
        return;
    }
    auto fresh = std::make_shared<std::string>();
    fresh->reserve(text_->size() - count + with.size());
    fresh->append(*text_, 0, at).append(with).append(*text_, at + count);
    text_ = std::move(fresh);
}

bool Sheet::adoptText(const SharedRecords& text) {
    if (!text || text->size() % width() != 0) return false;
    // Records given out by sharedText() were made changeable by a sheet; own() copies them
    // before any change while the giver still holds them.
    text_ = std::const_pointer_cast<std::string>(text);
    rows_ = static_cast<int>(text_->size() / width());
    return true;
}

bool Sheet::setCell(int row, int col, std::string_view text) {
    if (row < 0 || row >= rows_ || col < kFixedColumns || col >= columnCount()) return false;
    const ColumnLayout& c = layout_->cols[static_cast<size_t>(col)];
    if (text.size() != static_cast<size_t>(c.width)) return false;
    std::copy(text.begin(), text.end(),
              own().begin() + static_cast<std::ptrdiff_t>(offset(row)) + c.offset);
    return true;
}

void Sheet::clearLine(int row) {
    setRecord(row, layout_->emptyRecord);
}

bool Sheet::setRecord(int row, std::string_view record) {
    if (row < 0 || row >= rows_ || record.size() != width()) return false;
    own().replace(offset(row), width(), record);
    return true;
}

bool Sheet::splice(size_t at, size_t count, std::string_view with) {
    if (at > text_->size() || count > text_->size() - at) return false;
    const size_t size = text_->size() - count + with.size();
    if (size % width() != 0) return false;
    replaceText(at, count, with);
    rows_ = static_cast<int>(size / width());
    return true;
}

void Sheet::setRowCount(int rows) {
    rows = std::max(rows, 0);
    if (rows > rows_)
        insertRows(rows_, rows - rows_);
    else
        removeRows(rows, rows_ - rows);
}

void Sheet::insertRows(int at, int count) {
    if (count <= 0) return;
    at = std::clamp(at, 0, rows_);
    // An empty record is dashes from end to end (record_layout.h checks it).
    const size_t n = static_cast<size_t>(count) * width();
    if (text_.use_count() == 1)
        text_->insert(offset(at), n, '-');
    else
        replaceText(offset(at), 0, std::string(n, '-'));
    rows_ += count;
}

bool Sheet::insertRecords(int at, std::string_view records) {
    if (at < 0 || at > rows_ || records.size() % width() != 0) return false;
    replaceText(offset(at), 0, records);
    rows_ += static_cast<int>(records.size() / width());
    return true;
}

void Sheet::removeRows(int at, int count) {
    if (at < 0 || at >= rows_ || count <= 0) return;
    count = std::min(count, rows_ - at);
    replaceText(offset(at), static_cast<size_t>(count) * width(), {});
    rows_ -= count;
}

}  // namespace kestra
