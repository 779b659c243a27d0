// Unit tables of the solver: factors that convert the project's units
// (indices of the UNITS record, 1-based) into the SI units the model works in.
#pragma once

namespace wf {

struct FemState;
struct Inputs;

namespace units {

// Metres per length unit: 1 mm, 2 cm, 3 m, 4 km. 0 for an index outside the table.
double length(int index);
// Seconds per time unit: 1 s, 2 min, 3 h, 4 d, 5 y (365.25 d). 0 outside the table.
double time(int index);
// Metres per second per flux (velocity) unit, index 4(i - 1) + j for length
// i = mm, cm, m and time j = s, min, h, d. 0 outside the table.
double flux(int index);
// Cubic metres per second per pumping-rate unit: 1..4 litres per s, min, h, d;
// 5..8 cubic metres per s, min, h, d. 0 outside the table.
double rate(int index);
// Square metres per second per transmissivity unit, index as for the flux. 0 outside the table.
double transmissivity(int index);
// Label of an output-time unit as the listings print it: " (s)", " (m)", " (h)",
// " (d)", " (y)"; "    " outside the table.
const char* timeLabel(int index);

} // namespace units

// Fills the unit factors of the model state from the unit indices of the run
// (length IDIST, input time ITIN, output time ITOUT, flux IFLUX, pumping rate
// IDISCH) and the transmissivity table 1..12. A factor whose index lies
// outside its table is 0; the input reading refuses it where it is needed.
void setUnitFactors(FemState& fs, const Inputs& in);

} // namespace wf
