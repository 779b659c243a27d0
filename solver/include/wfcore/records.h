/* The eight records that cross the wftDLL call.
 *
 * Each record is a flat sequence of 4-byte little-endian slots without padding:
 * int32_t integers, IEEE single-precision reals and fixed-length 8-bit text.
 * The desktop program owns them (they are its project state); the solver copies
 * them in at the start of a call and writes back only the output fields:
 * MESH slots 0-7 and OBSV.NODOBS after a mesh run (mode 4), PINIT slots 0-3
 * after an analysis run (mode 6).
 *
 * Units: distances (RMAX, THICK, ROBS) are in the project's distance unit,
 * times (TQ) in the input-time unit, discharges (Q) in the discharge unit,
 * TSIM in days; all unit indices are 1-based (see UNITS). Drawdown is positive
 * downward everywhere in the system.
 */
#ifndef WFCORE_RECORDS_H
#define WFCORE_RECORDS_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Project and side-file names. The solver reads bytes 0-87 only (FILENAME_VIEW). */
typedef struct WfFilename {
    int32_t baseLength;     /* length of the project file name without ".wft" (solver needs 1..12) */
    char projectName[20];   /* project file name without folder, NUL-terminated */
    char reserved[148];     /* never written by the program (zero) */
    char femName[256];      /* base + ".FEM" */
    char datName[256];      /* base + ".DAT" */
    char timName[256];      /* base + ".TIM" */
    char obsName[256];      /* base + ".OBS" */
    char resName[256];      /* base + ".RES" */
    char invName[256];      /* base + ".INV" */
} WfFilename;

/* The solver's own 88-byte view of FILENAME. */
typedef struct WfFilenameView {
    int32_t baseLength;
    char baseName[12];      /* first baseLength characters are the base name */
    char title[72];         /* copied byte for byte into the first title line */
} WfFilenameView;

typedef struct WfMesh {
    int32_t NR;    /* node columns (radial); 0 = no mesh built yet */
    int32_t NZ;    /* node rows (vertical); always 20 after a mesh run */
    int32_t NN;    /* nodes, NR*NZ */
    int32_t NE;    /* elements, (NR-1)(NZ-1) */
    int32_t NB;    /* boundary edges, 2(NR-1)+2(NZ-1) */
    int32_t NMAT;  /* materials, 2 (1 fracture, 2 matrix) */
    int32_t NZF;   /* node rows in the fracture layer */
    int32_t NZM;   /* node rows in the matrix layer */
    float RMAX;    /* distance to the opposite boundary, distance unit */
} WfMesh;

typedef struct WfObsv {
    float THICK;        /* aquifer thickness, distance unit */
    float RATIO;        /* fraction of the thickness taken by the fracture, 0..1 */
    int32_t NOBS;       /* observation points, 1..4 */
    int32_t NODCNT;     /* solver scratch; never copied back */
    float ROBS[4];      /* radial distances of the observation points, ascending */
    int32_t IPOS[4];    /* 1 fracture, 2 matrix */
    int32_t NODOBS[4];  /* observation node numbers (solver, mode 4) */
} WfObsv;

typedef struct WfPump {
    int32_t IWLO;   /* 0 drawdowns, 1 water levels in metres above sea level */
    int32_t NQ;     /* number of pumping steps, 1..20 */
    float Q[20];    /* discharge of step k, discharge unit (abstraction positive) */
    float TQ[20];   /* start time of step k, input-time unit */
    float NSTEP;    /* prediction time steps (a whole number held in a real) */
    float TSIM;     /* prediction simulated time, days */
    int32_t IPUMP;  /* 0 fracture and matrix, 1 fracture, 2 matrix */
    int32_t IOPP;   /* 0 no-flow, 1 constant-head opposite boundary */
} WfPump;

typedef struct WfGuess {
    float SCALT;    /* reference hydraulic conductivity, m/s */
    float SCALS;    /* reference specific storage, 1/m */
    float P0[4];    /* starting multipliers: Kf, Km, S0f, S0m */
    float PLO[4];   /* lower bounds of the multipliers */
    float PHI[4];   /* upper bounds of the multipliers */
    float PEPS;     /* added to |P0| to give the derivative-step floor */
    float RMSE;     /* fit requirement of the optimisation */
} WfGuess;

typedef struct WfPinit {
    float TF, TM, SF, SM;                  /* transmissivities and storativities (guess in, estimate out) */
    float TFMIN, TMMIN, SFMIN, SMMIN;      /* lower bounds (desktop program only) */
    float TFMAX, TMMAX, SFMAX, SMMAX;      /* upper bounds (desktop program only) */
} WfPinit;

typedef struct WfUnits {
    int32_t IDIST;   /* 1 mm, 2 cm, 3 m, 4 km */
    int32_t ITIN;    /* input times: 1 s, 2 min, 3 h (solver accepts 1..5) */
    int32_t ITOUT;   /* output times: 1 s, 2 min, 3 h */
    int32_t ICOND;   /* conductivity / transmissivity unit, 1..12 */
    int32_t IFLUX;   /* flux unit of the flow model's flux boundaries, 1..12 */
    int32_t IDISCH;  /* discharge unit, 1..8 */
} WfUnits;

typedef struct WfNZero {
    int32_t NSKIP;   /* initial observation points that the fit ignores */
} WfNZero;

/* The record names the desktop program and the solver use. NZERO is declared
 * only where <limits.h> has not made it a macro (POSIX: the default nice
 * value); WfNZero is the same record under every header order. */
typedef WfFilename FILENAME;
typedef WfFilenameView FILENAME_VIEW;
typedef WfMesh MESH;
typedef WfObsv OBSV;
typedef WfPump PUMP;
typedef WfGuess GUESS;
typedef WfPinit PINIT;
typedef WfUnits UNITS;
#ifndef NZERO
typedef WfNZero NZERO;
#endif

#ifdef __cplusplus
} /* extern "C" */

#include <type_traits>

#define WF_CHECK_FIELD(rec, field, off) static_assert(offsetof(rec, field) == (off), #rec "." #field " offset")

static_assert(std::is_standard_layout<WfFilename>::value && sizeof(WfFilename) == 1708, "WfFilename layout");
WF_CHECK_FIELD(WfFilename, baseLength, 0);
WF_CHECK_FIELD(WfFilename, projectName, 4);
WF_CHECK_FIELD(WfFilename, reserved, 24);
WF_CHECK_FIELD(WfFilename, femName, 172);
WF_CHECK_FIELD(WfFilename, datName, 428);
WF_CHECK_FIELD(WfFilename, timName, 684);
WF_CHECK_FIELD(WfFilename, obsName, 940);
WF_CHECK_FIELD(WfFilename, resName, 1196);
WF_CHECK_FIELD(WfFilename, invName, 1452);

static_assert(std::is_standard_layout<WfFilenameView>::value && sizeof(WfFilenameView) == 88, "WfFilenameView layout");
WF_CHECK_FIELD(WfFilenameView, baseLength, 0);
WF_CHECK_FIELD(WfFilenameView, baseName, 4);
WF_CHECK_FIELD(WfFilenameView, title, 16);

static_assert(std::is_standard_layout<WfMesh>::value && sizeof(WfMesh) == 36, "WfMesh layout");
WF_CHECK_FIELD(WfMesh, NR, 0);
WF_CHECK_FIELD(WfMesh, NZ, 4);
WF_CHECK_FIELD(WfMesh, NN, 8);
WF_CHECK_FIELD(WfMesh, NE, 12);
WF_CHECK_FIELD(WfMesh, NB, 16);
WF_CHECK_FIELD(WfMesh, NMAT, 20);
WF_CHECK_FIELD(WfMesh, NZF, 24);
WF_CHECK_FIELD(WfMesh, NZM, 28);
WF_CHECK_FIELD(WfMesh, RMAX, 32);

static_assert(std::is_standard_layout<WfObsv>::value && sizeof(WfObsv) == 64, "WfObsv layout");
WF_CHECK_FIELD(WfObsv, THICK, 0);
WF_CHECK_FIELD(WfObsv, RATIO, 4);
WF_CHECK_FIELD(WfObsv, NOBS, 8);
WF_CHECK_FIELD(WfObsv, NODCNT, 12);
WF_CHECK_FIELD(WfObsv, ROBS, 16);
WF_CHECK_FIELD(WfObsv, IPOS, 32);
WF_CHECK_FIELD(WfObsv, NODOBS, 48);

static_assert(std::is_standard_layout<WfPump>::value && sizeof(WfPump) == 184, "WfPump layout");
WF_CHECK_FIELD(WfPump, IWLO, 0);
WF_CHECK_FIELD(WfPump, NQ, 4);
WF_CHECK_FIELD(WfPump, Q, 8);
WF_CHECK_FIELD(WfPump, TQ, 88);
WF_CHECK_FIELD(WfPump, NSTEP, 168);
WF_CHECK_FIELD(WfPump, TSIM, 172);
WF_CHECK_FIELD(WfPump, IPUMP, 176);
WF_CHECK_FIELD(WfPump, IOPP, 180);

static_assert(std::is_standard_layout<WfGuess>::value && sizeof(WfGuess) == 64, "WfGuess layout");
WF_CHECK_FIELD(WfGuess, SCALT, 0);
WF_CHECK_FIELD(WfGuess, SCALS, 4);
WF_CHECK_FIELD(WfGuess, P0, 8);
WF_CHECK_FIELD(WfGuess, PLO, 24);
WF_CHECK_FIELD(WfGuess, PHI, 40);
WF_CHECK_FIELD(WfGuess, PEPS, 56);
WF_CHECK_FIELD(WfGuess, RMSE, 60);

static_assert(std::is_standard_layout<WfPinit>::value && sizeof(WfPinit) == 48, "WfPinit layout");
WF_CHECK_FIELD(WfPinit, TF, 0);
WF_CHECK_FIELD(WfPinit, TM, 4);
WF_CHECK_FIELD(WfPinit, SF, 8);
WF_CHECK_FIELD(WfPinit, SM, 12);
WF_CHECK_FIELD(WfPinit, TFMIN, 16);
WF_CHECK_FIELD(WfPinit, SMMIN, 28);
WF_CHECK_FIELD(WfPinit, TFMAX, 32);
WF_CHECK_FIELD(WfPinit, SMMAX, 44);

static_assert(std::is_standard_layout<WfUnits>::value && sizeof(WfUnits) == 24, "WfUnits layout");
WF_CHECK_FIELD(WfUnits, IDIST, 0);
WF_CHECK_FIELD(WfUnits, ITIN, 4);
WF_CHECK_FIELD(WfUnits, ITOUT, 8);
WF_CHECK_FIELD(WfUnits, ICOND, 12);
WF_CHECK_FIELD(WfUnits, IFLUX, 16);
WF_CHECK_FIELD(WfUnits, IDISCH, 20);

static_assert(std::is_standard_layout<WfNZero>::value && sizeof(WfNZero) == 4, "WfNZero layout");
WF_CHECK_FIELD(WfNZero, NSKIP, 0);

#undef WF_CHECK_FIELD

namespace wf {
namespace defaults {

/* Defaults of a new project. NN, NE and NB follow from NR = NZ = 0 by their formulas. */
inline WfMesh mesh() { return WfMesh{0, 0, 0, 1, -4, 2, 0, 0, 1024.0f}; }
inline WfUnits units() { return WfUnits{3, 2, 2, 12, 12, 8}; }
inline WfObsv obsv() {
    WfObsv o{};
    o.THICK = 40.0f;
    o.RATIO = 0.2f;
    o.NOBS = 1;
    o.ROBS[0] = 1.0f;
    o.IPOS[0] = 1;
    return o;
}
inline WfPump pump() {
    WfPump p{};
    p.IWLO = 0;
    p.NQ = 1;
    p.IPUMP = 1;
    p.IOPP = 1;
    return p;
}
inline WfGuess guess() {
    WfGuess g{};
    g.SCALT = 1.0e-5f;
    g.SCALS = 1.0e-4f;
    g.PEPS = 0.01f;
    return g;
}
inline WfPinit pinit() {
    WfPinit p{};
    p.TF = 0.0f;
    p.TM = 0.001f;
    p.SF = 1.0e-6f;
    p.SM = 0.003f;
    return p;
}
inline WfNZero nzero() { return WfNZero{0}; }

} // namespace defaults
} // namespace wf
#endif /* __cplusplus */

#endif /* WFCORE_RECORDS_H */
