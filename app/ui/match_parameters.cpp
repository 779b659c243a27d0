#include "match_parameters.h"

#include <algorithm>

namespace wf::ui {

namespace {

bool hasWell(const wf::doc::AnalysisOptions& o) { return o.fineModel && o.wellRadius > 0.0f; }

} // namespace

std::vector<MatchParameter> matchParameters(const wf::doc::AnalysisOptions& options) {
    std::vector<MatchParameter> list;
    if (options.oneAquifer)
        list = {{MatchTarget::T, QStringLiteral("T"), QStringLiteral("Transmissivity (aquifer)"), true},
                {MatchTarget::S, QStringLiteral("S"), QStringLiteral("Storativity (aquifer)"), false}};
    else
        list = {{MatchTarget::TF, QStringLiteral("TF"), QStringLiteral("Transmissivity (fracture)"), true},
                {MatchTarget::TM, QStringLiteral("TM"), QStringLiteral("Transmissivity (matrix)"), true},
                {MatchTarget::SF, QStringLiteral("SF"), QStringLiteral("Storativity (fracture)"), false},
                {MatchTarget::SM, QStringLiteral("SM"), QStringLiteral("Storativity (matrix)"), false}};
    if (hasWell(options)) {
        // The skin from 0 (or the options' negative one) to 20, or twice the options' value.
        MatchParameter skin{MatchTarget::Skin, QStringLiteral("Sk"), QStringLiteral("Skin factor of the well"), false};
        skin.linear = true;
        skin.low = std::min(0.0, static_cast<double>(options.skin));
        skin.high = std::max(20.0, 2.0 * options.skin);
        list.push_back(skin);
        // A casing radius of 0 (no wellbore storage) starts the range at the well radius.
        MatchParameter rc{MatchTarget::CasingRadius, QStringLiteral("rc"),
                          QStringLiteral("Casing radius of the well (wellbore storage)"), false};
        rc.distance = true;
        rc.fallback = options.wellRadius;
        list.push_back(rc);
    }
    return list;
}

std::vector<double> projectMatchValues(const wf::doc::ProjectDocument& doc, const std::vector<MatchParameter>& list) {
    const PINIT& p = doc.pinit;
    std::vector<double> values;
    for (const MatchParameter& m : list) {
        switch (m.target) {
        case MatchTarget::TF: values.push_back(p.TF); break;
        case MatchTarget::TM: values.push_back(p.TM); break;
        case MatchTarget::SF: values.push_back(p.SF); break;
        case MatchTarget::SM: values.push_back(p.SM); break;
        case MatchTarget::T: values.push_back(static_cast<double>(p.TF) + p.TM); break;
        case MatchTarget::S: values.push_back(static_cast<double>(p.SF) + p.SM); break;
        case MatchTarget::Skin: values.push_back(doc.analysisOptions.skin); break;
        case MatchTarget::CasingRadius: values.push_back(doc.analysisOptions.casingRadius); break;
        }
    }
    return values;
}

std::array<float, 4> pinitOfMatchValues(const wf::doc::ProjectDocument& doc, const std::vector<MatchParameter>& list,
                                        const std::vector<double>& values) {
    const PINIT& p = doc.pinit;
    std::array<float, 4> v{p.TF, p.TM, p.SF, p.SM};
    const double r = doc.obsv.RATIO;
    for (std::size_t i = 0; i < list.size() && i < values.size(); ++i) {
        const double x = values[i];
        switch (list[i].target) {
        case MatchTarget::TF: v[0] = static_cast<float>(x); break;
        case MatchTarget::TM: v[1] = static_cast<float>(x); break;
        case MatchTarget::SF: v[2] = static_cast<float>(x); break;
        case MatchTarget::SM: v[3] = static_cast<float>(x); break;
        case MatchTarget::T:
            v[0] = static_cast<float>(r * x);
            v[1] = static_cast<float>((1.0 - r) * x);
            break;
        case MatchTarget::S:
            v[2] = static_cast<float>(r * x);
            v[3] = static_cast<float>((1.0 - r) * x);
            break;
        case MatchTarget::Skin:
        case MatchTarget::CasingRadius: break;  // not PINIT's
        }
    }
    return v;
}

MatchWell wellOfMatchValues(const wf::doc::ProjectDocument& doc, const std::vector<MatchParameter>& list,
                            const std::vector<double>& values) {
    MatchWell w;
    w.present = hasWell(doc.analysisOptions);
    w.skin = doc.analysisOptions.skin;
    w.casingRadius = doc.analysisOptions.casingRadius;
    for (std::size_t i = 0; i < list.size() && i < values.size(); ++i) {
        if (list[i].target == MatchTarget::Skin) w.skin = values[i];
        if (list[i].target == MatchTarget::CasingRadius) w.casingRadius = values[i];
    }
    return w;
}

void applyMatchValues(wf::doc::ProjectDocument& doc, const std::vector<MatchParameter>& list,
                      const std::vector<double>& values) {
    const std::array<float, 4> v = pinitOfMatchValues(doc, list, values);
    doc.pinit.TF = v[0];
    doc.pinit.TM = v[1];
    doc.pinit.SF = v[2];
    doc.pinit.SM = v[3];
    const MatchWell w = wellOfMatchValues(doc, list, values);
    if (!w.present) return;
    doc.analysisOptions.skin = static_cast<float>(w.skin);
    doc.analysisOptions.casingRadius = static_cast<float>(w.casingRadius);
}

bool matchMultipliers(const wf::doc::ProjectDocument& doc, const std::vector<MatchParameter>& list,
                      const std::vector<double>& values, std::array<double, 4>& P, QString& why) {
    wf::doc::ProjectDocument copy = doc;
    applyMatchValues(copy, list, values);
    if (const wf::doc::Status s = copy.convertParameters(2); !s) {
        why = QString::fromStdString(s.error);
        return false;
    }
    for (int j = 0; j < 4; ++j) P[static_cast<std::size_t>(j)] = copy.guess.P0[j];
    return true;
}

} // namespace wf::ui
