#include "lang/eval/exclude_list.h"

#include <algorithm>

namespace {

// An entry as up to four pieces of text, read as one.
struct Pieces {
    std::string_view part[4];
    int count = 0;
};

// Byte order of the two texts, negative, zero or positive.
int compare_pieces(const Pieces& a, const Pieces& b) {
    int ia = 0, ib = 0;
    std::size_t oa = 0, ob = 0;
    for (;;) {
        while (ia < a.count && oa == a.part[ia].size()) {
            ++ia;
            oa = 0;
        }
        while (ib < b.count && ob == b.part[ib].size()) {
            ++ib;
            ob = 0;
        }
        if (ia == a.count || ib == b.count)
            return (ia == a.count ? 0 : 1) - (ib == b.count ? 0 : 1);
        const std::size_t n = std::min(a.part[ia].size() - oa, b.part[ib].size() - ob);
        if (int c = a.part[ia].substr(oa, n).compare(b.part[ib].substr(ob, n)))
            return c;
        oa += n;
        ob += n;
    }
}

} // namespace

void Exclude_list::insert(const std::string& entry) {
    refs_.push_back(Ref{pool_.size(), static_cast<uint32_t>(entry.size()), false});
    pool_ += entry;
}

void Exclude_list::insert_source(const std::string& path) {
    refs_.push_back(Ref{pool_.size(), static_cast<uint32_t>(path.size()), true});
    pool_ += path;
}

void Exclude_list::clear() {
    std::string().swap(pool_);
    std::vector<Ref>().swap(refs_);
}

int Exclude_list::compare(const Ref& a, const Ref& b) const {
    auto pieces = [this](const Ref& r) {
        Pieces p;
        const std::string_view text(pool_.data() + r.offset, r.length);
        p.part[p.count++] = text;
        if (r.source) {
            p.part[p.count++] = "\n";
            p.part[p.count++] = text;
            p.part[p.count++] = "~\n";
        }
        return p;
    };
    return compare_pieces(pieces(a), pieces(b));
}

void Exclude_list::write(const std::function<void(std::string_view)>& put) {
    std::sort(refs_.begin(), refs_.end(), [this](const Ref& a, const Ref& b) { return compare(a, b) < 0; });
    const Ref* previous = nullptr;
    for (const Ref& r : refs_) {
        if (previous && compare(*previous, r) == 0)
            continue;
        previous = &r;
        const std::string_view text(pool_.data() + r.offset, r.length);
        put(text);
        if (r.source) {
            put("\n");
            put(text);
            put("~\n");
        }
    }
}
