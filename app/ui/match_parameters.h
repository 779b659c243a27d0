// The parameters of live curve matching: which ones the "Match" panel offers
// for the project, and how their values become the project's parameters and
// the solver's multipliers.
//
// Two layers: TF, TM, SF, SM (transmissivities in the project's unit,
// storativities). One aquifer: its total transmissivity T and storativity S,
// shared by the layers in proportion to their thickness (TF = r T,
// TM = (1 - r) T, SF = r S, SM = (1 - r) S with r the fracture ratio), which
// makes the layers' conductivity and specific storage equal, as the tied
// search does. With a pumped well on the fine model, its skin factor
// (dimensionless, may be 0 or negative: a linear slider) and its casing
// radius (the project's distance unit) follow; they live in the well block of
// the project's options.
#pragma once

#include <array>
#include <vector>

#include <QString>

#include "document/project_document.h"

namespace wf::ui {

enum class MatchTarget { TF, TM, SF, SM, T, S, Skin, CasingRadius };

struct MatchParameter {
    MatchTarget target;
    QString name;   // short name on the panel ("TF")
    QString label;  // what it is ("Transmissivity (fracture)")
    bool transmissivity;  // in the project's transmissivity unit; else dimensionless
    bool distance = false;  // in the project's distance unit
    bool linear = false;    // a linear slider from low to high (the skin); else logarithmic
    double low = 0.0, high = 0.0;
    double fallback = 0.0;  // the centre of a logarithmic range when the value is 0 (0: the default)
};

// The well's values of the panel (the options' own where the list has none).
struct MatchWell {
    bool present = false;  // the fine model with a well radius
    double skin = 0.0, casingRadius = 0.0;  // dimensionless; distance unit
};

// The panel's parameters for the project's options, in panel order.
std::vector<MatchParameter> matchParameters(const wf::doc::AnalysisOptions& options);

// The parameters' values as the project holds them (PINIT; one aquifer: the sums).
std::vector<double> projectMatchValues(const wf::doc::ProjectDocument& doc, const std::vector<MatchParameter>& list);

// TF, TM, SF, SM (single precision, as PINIT holds them) of the values.
std::array<float, 4> pinitOfMatchValues(const wf::doc::ProjectDocument& doc, const std::vector<MatchParameter>& list,
                                        const std::vector<double>& values);

// The well of the values, for the runs of the live model.
MatchWell wellOfMatchValues(const wf::doc::ProjectDocument& doc, const std::vector<MatchParameter>& list,
                            const std::vector<double>& values);

// Writes the values into doc's PINIT guesses and, with a well, its skin factor
// and casing radius (nothing else changes).
void applyMatchValues(wf::doc::ProjectDocument& doc, const std::vector<MatchParameter>& list,
                      const std::vector<double>& values);

// The solver's multipliers P(1..4) of the values: the conversion a
// fixed-time run of the analysis makes (ConvertParameters for the solver),
// on a copy of doc. False when the conversion is refused (why says why).
bool matchMultipliers(const wf::doc::ProjectDocument& doc, const std::vector<MatchParameter>& list,
                      const std::vector<double>& values, std::array<double, 4>& P, QString& why);

} // namespace wf::ui
