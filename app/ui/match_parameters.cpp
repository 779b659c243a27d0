#include "match_parameters.h"

namespace wf::ui {

std::vector<MatchParameter> matchParameters(const wf::doc::AnalysisOptions& options) {
    if (options.oneAquifer)
        return {{MatchTarget::T, QStringLiteral("T"), QStringLiteral("Transmissivity (aquifer)"), true},
                {MatchTarget::S, QStringLiteral("S"), QStringLiteral("Storativity (aquifer)"), false}};
    return {{MatchTarget::TF, QStringLiteral("TF"), QStringLiteral("Transmissivity (fracture)"), true},
            {MatchTarget::TM, QStringLiteral("TM"), QStringLiteral("Transmissivity (matrix)"), true},
            {MatchTarget::SF, QStringLiteral("SF"), QStringLiteral("Storativity (fracture)"), false},
            {MatchTarget::SM, QStringLiteral("SM"), QStringLiteral("Storativity (matrix)"), false}};
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
        }
    }
    return v;
}

void applyMatchValues(wf::doc::ProjectDocument& doc, const std::vector<MatchParameter>& list,
                      const std::vector<double>& values) {
    const std::array<float, 4> v = pinitOfMatchValues(doc, list, values);
    doc.pinit.TF = v[0];
    doc.pinit.TM = v[1];
    doc.pinit.SF = v[2];
    doc.pinit.SM = v[3];
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
