#include "command_settings.h"

#include "data_import.h"
#include "document/observation_points.h"

namespace wf::cli {

using wf::doc::ProjectDocument;
using wf::doc::Status;

void applyGuesses(const Options& o, ProjectDocument& doc) {
    float* guesses[4] = {&doc.pinit.TF, &doc.pinit.TM, &doc.pinit.SF, &doc.pinit.SM};
    for (std::size_t i = 0; i < 4; ++i)
        if (o.guess[i]) *guesses[i] = *o.guess[i];
}

void applySettings(const Options& o, ProjectDocument& doc) {
    if (o.units) {
        doc.units.IDIST = (*o.units)[0];
        doc.units.ITIN = (*o.units)[1];
        doc.units.ITOUT = (*o.units)[2];
        doc.units.ICOND = (*o.units)[3];
        doc.units.IDISCH = (*o.units)[4];
    }
    if (o.thick) doc.obsv.THICK = *o.thick;
    if (o.ratio) doc.obsv.RATIO = *o.ratio;
    if (o.rmax) doc.mesh.RMAX = *o.rmax;
    if (o.robs) doc.obsv.ROBS[0] = *o.robs;
    if (o.position) doc.obsv.IPOS[0] = *o.position;
    if (!o.steps.empty()) {
        for (int k = 0; k < wf::doc::kMaxPumpingSteps; ++k) {
            const bool given = static_cast<std::size_t>(k) < o.steps.size();
            doc.pump.TQ[k] = given ? o.steps[static_cast<std::size_t>(k)].time : 0.0f;
            doc.pump.Q[k] = given ? o.steps[static_cast<std::size_t>(k)].rate : 0.0f;
        }
        doc.pump.NQ = static_cast<int32_t>(o.steps.size());
    }
    applyGuesses(o, doc);
    // Every option of the schema given on the command line, whatever the order
    // of --default-options among them.
    o.fit.apply(doc.analysisOptions);
    // A first point at the pumped well lies at the well radius unless --robs
    // gives its distance.
    if (doc.obsv.IPOS[0] == wf::doc::kPositionAtWell && !o.robs && doc.analysisOptions.wellRadius > 0.0f)
        doc.obsv.ROBS[0] = doc.analysisOptions.wellRadius;
    if (o.pumpPosition) doc.pump.IPUMP = *o.pumpPosition;
    if (o.boundary) doc.pump.IOPP = *o.boundary;
    if (o.levels) doc.pump.IWLO = *o.levels;
    if (o.borehole) doc.setBoreholeName(*o.borehole);
}

DataTaken importData(const std::filesystem::path& file, ProjectDocument& doc, std::ostream& out) {
    ImportedPoints points;
    if (Status st = importPoints(file, points); !st) return {st, false};
    const std::size_t n = points.times.size();
    if (Status st = doc.acceptTestData(doc.boreholeName(), std::move(points.times), std::move(points.values)); !st)
        return {st, false};
    out << "Imported " << n << " data points from " << file.string() << " into " << doc.filename.datName << '\n';
    return {Status::success(), true};
}

DataTaken applyPoints(const Options& o, const std::vector<std::filesystem::path>& files, ProjectDocument& doc,
                      std::ostream& out, std::ostream& err) {
    if (files.empty() && doc.observationPointCount() == 1) {
        if (o.pointName || o.weight)
            err << "Warning: --point-name and --weight are kept only for a project of several observation points\n";
        return {Status::success(), false};
    }
    // Nothing of the points given: the project's points stand as they are.
    if (files.empty() && !o.robs && !o.position && !o.pointName && !o.weight) return {Status::success(), false};
    std::vector<wf::doc::ObservationPoint> points = doc.observationPoints();
    if (!files.empty()) points.resize(1);
    if (o.pointName) points[0].name = *o.pointName;
    if (o.weight) points[0].weight = *o.weight;
    for (std::size_t k = 0; k < files.size(); ++k) {
        const PointOptions& po = o.morePoints[k];
        if (!po.robs)
            return {Status::failure("observation point " + std::to_string(k + 2) + " (--data " + po.dataFile +
                                    ") needs its distance --robs"),
                    false};
        ImportedPoints data;
        if (Status st = importPoints(files[k], data); !st) return {st, false};
        wf::doc::ObservationPoint p;
        p.name = po.name.value_or(std::string());
        p.distance = *po.robs;
        p.position = po.position.value_or(1);
        p.weight = po.weight.value_or(1.0f);
        p.times = std::move(data.times);
        p.values = std::move(data.values);
        out << "Imported " << p.times.size() << " data points from " << files[k].string() << " for observation point "
            << k + 2 << '\n';
        points.push_back(std::move(p));
    }
    std::string note;
    if (Status st = doc.setObservationPoints(std::move(points), &note); !st) return {st, false};
    if (!note.empty()) out << note << '\n';
    return {Status::success(), !files.empty()};
}

} // namespace wf::cli
