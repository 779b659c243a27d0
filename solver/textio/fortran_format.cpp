#include "textio/fortran_format.h"

#include <map>
#include <stdexcept>

#include "textio/format_items.h"
#include "textio/numeric_edit.h"

namespace wf::textio {
namespace {

using detail::FormatItem;
using Kind = FormatItem::Kind;

// Formats are parsed once per text: the listings write the same few formats
// for thousands of nodes.
const std::vector<FormatItem>& parsed(std::string_view fmt) {
    thread_local std::map<std::string, std::vector<FormatItem>, std::less<>> cache;
    auto it = cache.find(fmt);
    if (it == cache.end()) it = cache.emplace(std::string(fmt), detail::parseFormat(fmt)).first;
    return it->second;
}

[[noreturn]] void mismatch(const FormatItem& item, const char* kind) {
    throw std::invalid_argument(std::string("a ") + kind + " value for the " + item.code + " edit descriptor");
}

// One formatted WRITE: walks the format items, takes the values in order and
// collects the records.
class Writer {
public:
    explicit Writer(const std::vector<FValue>& values) : values_(values) {}

    std::string run(const std::vector<FormatItem>& items) {
        std::size_t restart = 0;  // format reversion rescans from the last top-level group
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i].kind == Kind::Group) restart = i;
        bool go = runList(items, 0);
        while (go && next_ < values_.size()) {
            endRecord();
            const std::size_t before = next_;
            go = runList(items, restart);
            if (go && next_ == before) throw std::invalid_argument("format has no edit descriptor for the remaining values");
        }
        endRecord();
        return std::move(out_);
    }

private:
    // Blanks of nX become part of the record only when something follows
    // them in the same record, so a record never ends in skipped columns.
    void put(const std::string& s) {
        record_.append(pending_, ' ');
        pending_ = 0;
        record_ += s;
    }

    void endRecord() {
        out_ += record_;
        out_ += '\n';
        record_.clear();
        pending_ = 0;
    }

    // false: the write ends here (values exhausted at a data descriptor or ':').
    bool runList(const std::vector<FormatItem>& items, std::size_t from) {
        for (std::size_t i = from; i < items.size(); ++i)
            if (!runItem(items[i])) return false;
        return true;
    }

    bool runItem(const FormatItem& item) {
        switch (item.kind) {
        case Kind::Group:
            for (int r = 0; r < item.repeat; ++r)
                if (!runList(item.items, 0)) return false;
            return true;
        case Kind::Data:
            for (int r = 0; r < item.repeat; ++r) {
                if (next_ >= values_.size()) return false;
                put(edit(item, values_[next_++]));
            }
            return true;
        case Kind::Text:
            for (int r = 0; r < item.repeat; ++r) put(item.text);
            return true;
        case Kind::Skip:
            pending_ += static_cast<std::size_t>(item.count);
            return true;
        case Kind::Slash:
            for (int r = 0; r < item.repeat; ++r) endRecord();
            return true;
        case Kind::Colon:
            return next_ < values_.size();
        case Kind::Scale:
            scale_ = item.count;
            return true;
        }
        return true;
    }

    std::string edit(const FormatItem& item, const FValue& v) const {
        switch (item.code) {
        case 'I':
            if (!v.isInt()) mismatch(item, v.isReal() ? "real" : "text");
            return detail::editInteger(v.asInt(), item.w, item.m);
        case 'F':
        case 'E':
        case 'D':
            if (!v.isReal()) mismatch(item, v.isInt() ? "integer" : "text");
            if (item.code == 'F') return detail::editFixed(v.asReal(), item.w, item.d, scale_);
            return detail::editExponent(v.asReal(), item.w, item.d, item.e, scale_, item.code);
        case 'G':
            // G of an integer or a text is I or A editing of the same width.
            if (v.isInt()) return detail::editInteger(v.asInt(), item.w, -1);
            if (v.isText()) return textField(v.asText(), item.w);
            return detail::editGeneral(v.asReal(), item.w, item.d, item.e, scale_);
        default:  // 'A'
            if (!v.isText()) mismatch(item, v.isInt() ? "integer" : "real");
            return textField(v.asText(), item.w);
        }
    }

    // Aw: a longer text is cut to its first w characters, a shorter one is
    // right-aligned in the field.
    static std::string textField(const std::string& s, int w) {
        if (w < 0) return s;
        const auto width = static_cast<std::size_t>(w);
        if (s.size() >= width) return s.substr(0, width);
        return std::string(width - s.size(), ' ') + s;
    }

    const std::vector<FValue>& values_;
    std::size_t next_ = 0;
    std::string out_;
    std::string record_;
    std::size_t pending_ = 0;
    int scale_ = 0;
};

} // namespace

std::string format(std::string_view fmt, const std::vector<FValue>& values) {
    return Writer(values).run(parsed(fmt));
}

std::string formatLine(std::string_view fmt, const std::vector<FValue>& values) {
    std::string s = format(fmt, values);
    s.pop_back();
    return s;
}

} // namespace wf::textio
