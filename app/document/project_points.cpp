// The observation points of the project document.
#include <algorithm>
#include <cstdint>

#include "project_document.h"

namespace wf::doc {

std::vector<ObservationPoint> ProjectDocument::observationPoints() const {
    std::vector<ObservationPoint> all;
    ObservationPoint first;
    first.name = firstPointName_;
    first.distance = obsv.ROBS[0];
    first.position = obsv.IPOS[0];
    first.weight = firstPointWeight_;
    first.node = obsv.NODOBS[0];
    const std::size_t n = static_cast<std::size_t>(std::max(pointCount_, 0));
    first.times.assign(times_.begin(), times_.begin() + static_cast<std::ptrdiff_t>(std::min(n, times_.size())));
    first.values.assign(values_.begin(), values_.begin() + static_cast<std::ptrdiff_t>(std::min(n, values_.size())));
    all.push_back(std::move(first));
    for (std::size_t k = 0; k < furtherPoints_.size(); ++k) {
        ObservationPoint p = furtherPoints_[k];
        p.distance = obsv.ROBS[k + 1];
        p.position = obsv.IPOS[k + 1];
        p.node = obsv.NODOBS[k + 1];
        all.push_back(std::move(p));
    }
    return all;
}

Status ProjectDocument::setObservationPoints(std::vector<ObservationPoint> points, std::string* note,
                                             const std::filesystem::path& folder) {
    for (std::size_t i = 0; i < points.size(); ++i)
        if (points[i].times.size() != points[i].values.size())
            return Status::failure("Test data of observation point " + std::to_string(i + 1) + ": " +
                                   std::to_string(points[i].times.size()) + " times but " +
                                   std::to_string(points[i].values.size()) + " values");
    const std::string sorted = sortByDistance(points);
    if (Status st = checkObservationPoints(points); !st) return st;
    ProjectDocument d = *this;
    const ObservationPoint& first = points.front();
    d.firstPointName_ = first.name;
    d.firstPointWeight_ = first.weight;
    d.pointCount_ = static_cast<int32_t>(std::min<std::size_t>(first.times.size(), INT32_MAX));
    d.times_ = first.times;
    d.values_ = first.values;
    d.furtherPoints_.clear();
    d.obsv.NOBS = static_cast<int32_t>(points.size());
    for (std::size_t l = 0; l < 4; ++l) {
        const bool present = l < points.size();
        // A point whose distance or position changed needs a new mesh run for its node.
        const bool same = present && l < static_cast<std::size_t>(observationPointCount()) &&
                          obsv.ROBS[l] == points[l].distance && obsv.IPOS[l] == points[l].position;
        d.obsv.ROBS[l] = present ? points[l].distance : (l == 0 ? obsv.ROBS[0] : 0.0f);
        d.obsv.IPOS[l] = present ? points[l].position : (l == 0 ? obsv.IPOS[0] : 0);
        d.obsv.NODOBS[l] = same ? obsv.NODOBS[l] : 0;
        if (l > 0 && present) d.furtherPoints_.push_back(points[l]);
    }
    // One point keeps the first node as it was (the standard dialogs leave
    // it to the next mesh run).
    if (points.size() == 1) d.obsv.NODOBS[0] = obsv.NODOBS[0];
    d.testDataProblem_.clear();  // written only when every point is a number
    if (Status st = d.writeTestData(folder); !st) return st;
    *this = std::move(d);
    if (note) *note = sorted;
    return Status::success();
}

WfOptions ProjectDocument::solverOptions(WfFitReport* report) const {
    WfOptions o = analysisOptions.toSolver(report);
    o.weights[0] = firstPointWeight_;
    for (std::size_t k = 0; k < furtherPoints_.size() && k < 3; ++k) o.weights[k + 1] = furtherPoints_[k].weight;
    return o;
}

void ProjectDocument::clearFurtherPoints() {
    furtherPoints_.clear();
    firstPointName_.clear();
    firstPointWeight_ = 1.0f;
}

Status ProjectDocument::takePointsBlock(std::string_view fields, const std::string& fileName) {
    PointSettings settings;
    if (Status st = decodePointsFields(fields, settings, fileName); !st) return st;
    const std::string where = "Project file " + fileName + ": ";
    const auto count = static_cast<int32_t>(1 + settings.further.size());
    if (obsv.NOBS != count)
        return Status::failure(where + "NOBS (number of observation points) is " + std::to_string(obsv.NOBS) +
                               ", but the observation points block holds " + std::to_string(count) + " points");
    for (std::size_t k = 0; k < settings.further.size(); ++k)
        if (settings.further[k].distance == obsv.ROBS[0])
            return Status::failure(where + "the observation points block gives point " + std::to_string(k + 2) +
                                   " the distance of point 1 (ROBS), but the distances must differ");
    firstPointName_ = settings.firstName;
    firstPointWeight_ = settings.firstWeight;
    for (std::size_t k = 0; k < settings.further.size(); ++k) {
        ObservationPoint& p = settings.further[k];
        obsv.ROBS[k + 1] = p.distance;
        obsv.IPOS[k + 1] = p.position;
        obsv.NODOBS[k + 1] = p.node;
        furtherPoints_.push_back(std::move(p));
    }
    return Status::success();
}

} // namespace wf::doc
