// Observation points: the project file's block of their settings, their checks
// and their order.
#include "observation_points.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <optional>

namespace wf::doc {

namespace {

void put32(std::string& s, uint32_t v) {
    for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFFu));
}

void putName(std::string& s, const std::string& name) {
    const std::string cut = name.substr(0, std::min(name.size(), kMaxPointName));
    put32(s, static_cast<uint32_t>(cut.size()));
    s += cut;
}

// Reads the fields of the block in order; the first failure sticks.
class FieldReader {
public:
    FieldReader(std::string_view bytes, std::string where) : b_(bytes), where_(std::move(where)) {}
    bool u32(uint32_t& v, const char* what) {
        if (!error_.empty()) return false;
        if (at_ + 4 > b_.size()) return fail(std::string("is cut short in ") + what);
        v = 0;
        for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(static_cast<unsigned char>(b_[at_ + i])) << (8 * i);
        at_ += 4;
        return true;
    }
    bool f32(float& v, const char* what) {
        uint32_t u = 0;
        if (!u32(u, what)) return false;
        v = std::bit_cast<float>(u);
        return true;
    }
    bool name(std::string& v, const char* what) {
        uint32_t n = 0;
        if (!u32(n, what)) return false;
        if (n > kMaxPointName) return fail(std::string("has a name of ") + std::to_string(n) + " characters in " + what +
                                           " (at most 20)");
        if (at_ + n > b_.size()) return fail(std::string("is cut short in ") + what);
        v.assign(b_.substr(at_, n));
        at_ += n;
        return true;
    }
    bool fail(const std::string& why) {
        if (error_.empty()) error_ = where_ + why;
        return false;
    }
    const std::string& error() const { return error_; }

private:
    std::string_view b_;
    std::size_t at_ = 0;
    std::string where_;
    std::string error_;
};

std::string distanceText(float d) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%g", static_cast<double>(d));
    return buf;
}

std::string label(const ObservationPoint& p, std::size_t index) {
    return p.name.empty() ? "point " + std::to_string(index + 1) : "\"" + p.name + "\"";
}

} // namespace

std::string encodePointsFields(const PointSettings& s) {
    std::string fields;
    put32(fields, std::bit_cast<uint32_t>(s.firstWeight));
    putName(fields, s.firstName);
    put32(fields, static_cast<uint32_t>(s.further.size()));
    for (const ObservationPoint& p : s.further) {
        put32(fields, std::bit_cast<uint32_t>(p.distance));
        put32(fields, static_cast<uint32_t>(p.position));
        put32(fields, std::bit_cast<uint32_t>(p.weight));
        put32(fields, static_cast<uint32_t>(p.node));
        putName(fields, p.name);
    }
    return fields;
}

Status decodePointsFields(std::string_view fields, PointSettings& settings, const std::string& fileName) {
    const std::string where = "Project file " + fileName + ": the observation points block ";
    FieldReader r(fields, where);
    PointSettings s;
    uint32_t count = 0;
    if (!r.f32(s.firstWeight, "the weight of point 1") || !r.name(s.firstName, "the name of point 1") ||
        !r.u32(count, "the number of points"))
        return Status::failure(r.error());
    if (count < 1 || count > kMaxObservationPoints - 1)
        return Status::failure(where + "counts " + std::to_string(count) + " further points (1 to 3)");
    // The weights and distances are checked as the data editor and the
    // command line check them.
    auto weightRefused = [&](float w, const std::string& n) -> std::optional<Status> {
        if (!std::isfinite(w)) return Status::failure(where + "gives " + n + " a weight that is not a finite number");
        if (!(w > 0.0f))
            return Status::failure(where + "gives " + n + " the weight " + distanceText(w) + " (it must be above 0)");
        return std::nullopt;
    };
    if (auto st = weightRefused(s.firstWeight, "point 1")) return *st;
    for (uint32_t k = 0; k < count; ++k) {
        ObservationPoint p;
        uint32_t position = 0, node = 0;
        const std::string n = "point " + std::to_string(k + 2);
        if (!r.f32(p.distance, n.c_str()) || !r.u32(position, n.c_str()) || !r.f32(p.weight, n.c_str()) ||
            !r.u32(node, n.c_str()) || !r.name(p.name, n.c_str()))
            return Status::failure(r.error());
        if (position != 1 && position != 2)
            return Status::failure(where + "gives " + n + " the position " + std::to_string(position) +
                                   " (1 fracture, 2 matrix)");
        if (!std::isfinite(p.distance) || !std::isfinite(p.weight))
            return Status::failure(where + "gives " + n + " a distance or weight that is not a finite number");
        if (!(p.distance > 0.0f))
            return Status::failure(where + "gives " + n + " the distance " + distanceText(p.distance) +
                                   " (it must be above 0)");
        if (auto st = weightRefused(p.weight, n)) return *st;
        for (std::size_t j = 0; j < s.further.size(); ++j)
            if (s.further[j].distance == p.distance)
                return Status::failure(where + "gives point " + std::to_string(j + 2) + " and " + n +
                                       " the same distance " + distanceText(p.distance) + " (they must differ)");
        p.position = static_cast<int32_t>(position);
        p.node = static_cast<int32_t>(node);
        s.further.push_back(std::move(p));
    }
    settings = std::move(s);
    return Status::success();
}

Status checkObservationPoints(const std::vector<ObservationPoint>& points) {
    if (points.empty() || points.size() > static_cast<std::size_t>(kMaxObservationPoints))
        return Status::failure("A project has 1 to 4 observation points, not " + std::to_string(points.size()));
    for (std::size_t i = 0; i < points.size(); ++i) {
        const ObservationPoint& p = points[i];
        const std::string who = "Observation " + label(p, i);
        if (p.position == kPositionAtWell) {
            if (i != 0)
                return Status::failure(who + ": a point at the pumped well must be the first (the nearest) point");
            if (!(std::isfinite(p.distance) && p.distance > 0.0f))
                return Status::failure(who + ": the distance " + distanceText(p.distance) +
                                       " must be above 0 (the well radius)");
        } else if (!(std::isfinite(p.distance) && p.distance > 0.0625f))
            return Status::failure(who + ": the distance " + distanceText(p.distance) +
                                   " must be above 0.0625 (the mesh's first radius)");
        if (p.position != 1 && p.position != 2 && !(i == 0 && p.position == kPositionAtWell))
            return Status::failure(who + ": the position must be 1 (fracture) or 2 (matrix)");
        if (!(std::isfinite(p.weight) && p.weight > 0.0f))
            return Status::failure(who + ": the weight " + distanceText(p.weight) + " must be above 0");
        if (p.name.size() > kMaxPointName)
            return Status::failure(who + ": the name has more than 20 characters");
        for (std::size_t j = 0; j < i; ++j)
            if (points[j].distance == p.distance)
                return Status::failure("Observation " + label(points[j], j) + " and " + label(p, i) +
                                       " are both at distance " + distanceText(p.distance) +
                                       ": the mesh has one column per distance, so the distances must differ");
    }
    return Status::success();
}

std::string sortByDistance(std::vector<ObservationPoint>& points) {
    if (std::is_sorted(points.begin(), points.end(),
                       [](const ObservationPoint& a, const ObservationPoint& b) { return a.distance < b.distance; }))
        return {};
    std::vector<std::size_t> order(points.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return points[a].distance < points[b].distance; });
    std::vector<ObservationPoint> sorted;
    std::string note = "Observation points sorted by distance, as the mesh needs them:";
    for (std::size_t k = 0; k < order.size(); ++k) {
        const ObservationPoint& p = points[order[k]];
        note += (k ? ", " : " ") + label(p, order[k]) + " (" + distanceText(p.distance) + ")";
        sorted.push_back(p);
    }
    points = std::move(sorted);
    return note;
}

} // namespace wf::doc
