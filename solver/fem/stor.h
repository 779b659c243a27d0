// STOR: the head table of a time step, written to the diagnostic stream when
// the store interval falls due, with the final-heads block of the plot file.
#pragma once

namespace wf {

struct RunState;

// Writes the titles (once per model run), the time and step, every node's head
// and its change since the initial head; at the last step of the header's
// step count also the final heads to {base}.plt; then the time-dependent
// prescribed heads and the time-dependent Neumann fluxes.
void STOR(RunState& rs);

} // namespace wf
