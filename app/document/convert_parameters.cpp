// ConvertParameters: the four aquifer parameters as the user types them
// (transmissivities in the ICOND unit, storativities) and the solver's scaled
// multipliers in GUESS. Values are held in single precision; each expression
// is worked out in extended precision and stored once, as the desktop program
// always did.
#include <charconv>
#include <cmath>

#include "project_document.h"
#include "units.h"

namespace wf::doc {

namespace {

using X = long double;

std::string shortest(float v) {
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

Status refused(const std::string& why) { return Status::failure("Cannot convert the parameters: " + why); }

// Bounds from the guesses.
void boundsFromGuesses(PINIT& p) {
    p.TFMIN = static_cast<float>(0.5L * p.TF);
    p.TMMIN = static_cast<float>(0.0001L * p.TM);
    p.SFMIN = static_cast<float>(0.0001L * p.SF);
    p.SMMIN = static_cast<float>(0.001L * p.SM);
    p.TFMAX = static_cast<float>(4.0L * p.TF);
    p.TMMAX = static_cast<float>(1000.0L * p.TM);
    p.SFMAX = static_cast<float>(10.0L * p.SF);
    p.SMMAX = static_cast<float>(100.0L * p.SM);
}

// Storativity bounds below 1e-7 become 1e-8 (analysis dialog, Set Boundaries).
void floorStorageBounds(PINIT& p) {
    if (p.SFMIN < 1e-7f) p.SFMIN = 1e-8f;
    if (p.SMMIN < 1e-7f) p.SMMIN = 1e-8f;
}

bool allFinite(const float* v, int n) {
    for (int i = 0; i < n; ++i)
        if (!std::isfinite(v[i])) return false;
    return true;
}

} // namespace

Status ProjectDocument::ConvertParameters(int mode, int32_t ICOND, int32_t IDISCH) {
    if (ICOND < 1 || ICOND > 12)
        return refused("the conductivity unit code " + std::to_string(ICOND) + " is not between 1 and 12");
    if (IDISCH < 1 || IDISCH > 8)
        return refused("the discharge unit code " + std::to_string(IDISCH) + " is not between 1 and 8");
    const float r = obsv.RATIO;
    const float b = obsv.THICK;
    // Only the conversion for the solver divides by the layer thicknesses.
    const bool converts = mode != 1 && mode != 3 && mode != 4;
    if (converts && !(r > 0.0f && r < 1.0f))
        return refused("the ratio of the fracture must be greater than 0 and less than 1 (it is " + shortest(r) + ")");
    if (converts && (!(b > 0.0f) || !std::isfinite(b)))
        return refused("the thickness of the aquifer must be greater than 0 (it is " + shortest(b) + ")");

    const X f = transmissivityFactors()[static_cast<std::size_t>(ICOND - 1)];
    const X fq = dischargeFactors()[static_cast<std::size_t>(IDISCH - 1)];
    // Starting fracture transmissivity from the first pumping rate.
    const float tfFromRate = static_cast<float>(static_cast<X>(pump.Q[0]) * fq * 15000.0L);

    PINIT p = pinit;
    GUESS g = guess;
    // Storativities are never taken below 1e-7.
    if (p.SF < 1e-7f) p.SF = 1e-7f;
    if (p.SM < 1e-7f) p.SM = 1e-7f;

    switch (mode) {
    case 1:
        if (p.TF == 0.0f) p.TF = tfFromRate;
        boundsFromGuesses(p);
        floorStorageBounds(p);
        break;
    case 3:
        boundsFromGuesses(p);
        floorStorageBounds(p);
        break;
    case 4:
        p.TF = tfFromRate;
        p.TM = 0.001f;
        p.SF = 1e-6f;
        p.SM = 0.003f;
        boundsFromGuesses(p);
        break;
    default: {
        // Transmissivity -> conductivity of its layer (m/s) / SCALT; storativity
        // -> specific storage of its layer (1/m) / SCALS. The fracture layer is
        // r*b thick, the matrix (1-r)*b. Divisions left to right.
        const X scalt = g.SCALT, scals = g.SCALS, rf = r, rm = 1.0L - static_cast<X>(r), thick = b;
        const auto kf = [&](float t) { return static_cast<float>(t / scalt * f / rf / thick); };
        const auto km = [&](float t) { return static_cast<float>(t / scalt * f / rm / thick); };
        const auto sf = [&](float s) { return static_cast<float>(s / scals / rf / thick); };
        const auto sm = [&](float s) { return static_cast<float>(s / scals / rm / thick); };
        g.P0[0] = kf(p.TF);
        g.P0[1] = km(p.TM);
        g.P0[2] = sf(p.SF);
        g.P0[3] = sm(p.SM);
        g.PLO[0] = kf(p.TFMIN);
        g.PLO[1] = km(p.TMMIN);
        g.PLO[2] = sf(p.SFMIN);
        g.PLO[3] = sm(p.SMMIN);
        g.PHI[0] = kf(p.TFMAX);
        g.PHI[1] = km(p.TMMAX);
        g.PHI[2] = sf(p.SFMAX);
        g.PHI[3] = sm(p.SMMAX);
        if (g.PLO[2] < 1e-7f) g.PLO[2] = 1e-7f;
        if (g.P0[2] < 1e-7f) g.P0[2] = 1e-7f;
        if (!allFinite(g.P0, 4) || !allFinite(g.PLO, 4) || !allFinite(g.PHI, 4))
            return refused("a multiplier does not fit single precision (check SCALT, SCALS and the parameters)");
        break;
    }
    }
    if (!allFinite(&p.TF, 12)) return refused("a parameter or bound does not fit single precision");
    pinit = p;
    guess = g;
    return Status::success();
}

} // namespace wf::doc
