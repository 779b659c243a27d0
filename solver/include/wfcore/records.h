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

#include <limits.h>
#include <stddef.h>
#include <stdint.h>

/* POSIX <limits.h> defines NZERO (the default nice value) as a macro, which
 * would replace the record name below. limits.h is included first, so that
 * its include guard keeps later inclusions from defining the macro again. */
#ifdef NZERO
#undef NZERO
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Project and side-file names. The solver reads bytes 0-87 only (FILENAME_VIEW). */
typedef struct FILENAME {
    int32_t baseLength;     /* length of the project file name without ".wft" (solver needs 1..12) */
    char projectName[20];   /* project file name without folder, NUL-terminated */
    char reserved[148];     /* never written by the program (zero) */
    char femName[256];      /* base + ".FEM" */
    char datName[256];      /* base + ".DAT" */
    char timName[256];      /* base + ".TIM" */
    char obsName[256];      /* base + ".OBS" */
    char resName[256];      /* base + ".RES" */
    char invName[256];      /* base + ".INV" */
} FILENAME;

/* The solver's own 88-byte view of FILENAME. */
typedef struct FILENAME_VIEW {
    int32_t baseLength;
    char baseName[12];      /* first baseLength characters are the base name */
    char title[72];         /* copied byte for byte into the first title line */
} FILENAME_VIEW;

typedef struct MESH {
    int32_t NR;    /* node columns (radial); 0 = no mesh built yet */
    int32_t NZ;    /* node rows (vertical); always 20 after a mesh run */
    int32_t NN;    /* nodes, NR*NZ */
    int32_t NE;    /* elements, (NR-1)(NZ-1) */
    int32_t NB;    /* boundary edges, 2(NR-1)+2(NZ-1) */
    int32_t NMAT;  /* materials, 2 (1 fracture, 2 matrix) */
    int32_t NZF;   /* node rows in the fracture layer */
    int32_t NZM;   /* node rows in the matrix layer */
    float RMAX;    /* distance to the opposite boundary, distance unit */
} MESH;

typedef struct OBSV {
    float THICK;        /* aquifer thickness, distance unit */
    float RATIO;        /* fraction of the thickness taken by the fracture, 0..1 */
    int32_t NOBS;       /* observation points, 1..4 */
    int32_t NODCNT;     /* solver scratch; never copied back */
    float ROBS[4];      /* radial distances of the observation points, ascending */
    int32_t IPOS[4];    /* 1 fracture, 2 matrix */
    int32_t NODOBS[4];  /* observation node numbers (solver, mode 4) */
} OBSV;

typedef struct PUMP {
    int32_t IWLO;   /* 0 drawdowns, 1 water levels in metres above sea level */
    int32_t NQ;     /* number of pumping steps, 1..20 */
    float Q[20];    /* discharge of step k, discharge unit (abstraction positive) */
    float TQ[20];   /* start time of step k, input-time unit */
    float NSTEP;    /* prediction time steps (a whole number held in a real) */
    float TSIM;     /* prediction simulated time, days */
    int32_t IPUMP;  /* 0 fracture and matrix, 1 fracture, 2 matrix */
    int32_t IOPP;   /* 0 no-flow, 1 constant-head opposite boundary */
} PUMP;

typedef struct GUESS {
    float SCALT;    /* reference hydraulic conductivity, m/s */
    float SCALS;    /* reference specific storage, 1/m */
    float P0[4];    /* starting multipliers: Kf, Km, S0f, S0m */
    float PLO[4];   /* lower bounds of the multipliers */
    float PHI[4];   /* upper bounds of the multipliers */
    float PEPS;     /* added to |P0| to give the derivative-step floor */
    float RMSE;     /* fit requirement of the optimisation */
} GUESS;

typedef struct PINIT {
    float TF, TM, SF, SM;                  /* transmissivities and storativities (guess in, estimate out) */
    float TFMIN, TMMIN, SFMIN, SMMIN;      /* lower bounds (desktop program only) */
    float TFMAX, TMMAX, SFMAX, SMMAX;      /* upper bounds (desktop program only) */
} PINIT;

typedef struct UNITS {
    int32_t IDIST;   /* 1 mm, 2 cm, 3 m, 4 km */
    int32_t ITIN;    /* input times: 1 s, 2 min, 3 h (solver accepts 1..5) */
    int32_t ITOUT;   /* output times: 1 s, 2 min, 3 h */
    int32_t ICOND;   /* conductivity / transmissivity unit, 1..12 */
    int32_t IFLUX;   /* flux unit of the flow model's flux boundaries, 1..12 */
    int32_t IDISCH;  /* discharge unit, 1..8 */
} UNITS;

typedef struct NZERO {
    int32_t NSKIP;   /* initial observation points that the fit ignores */
} NZERO;

#ifdef __cplusplus
} /* extern "C" */

#include <type_traits>

#define WF_CHECK_FIELD(rec, field, off) static_assert(offsetof(rec, field) == (off), #rec "." #field " offset")

static_assert(std::is_standard_layout_v<FILENAME> && sizeof(FILENAME) == 1708);
WF_CHECK_FIELD(FILENAME, baseLength, 0);
WF_CHECK_FIELD(FILENAME, projectName, 4);
WF_CHECK_FIELD(FILENAME, reserved, 24);
WF_CHECK_FIELD(FILENAME, femName, 172);
WF_CHECK_FIELD(FILENAME, datName, 428);
WF_CHECK_FIELD(FILENAME, timName, 684);
WF_CHECK_FIELD(FILENAME, obsName, 940);
WF_CHECK_FIELD(FILENAME, resName, 1196);
WF_CHECK_FIELD(FILENAME, invName, 1452);

static_assert(std::is_standard_layout_v<FILENAME_VIEW> && sizeof(FILENAME_VIEW) == 88);
WF_CHECK_FIELD(FILENAME_VIEW, baseLength, 0);
WF_CHECK_FIELD(FILENAME_VIEW, baseName, 4);
WF_CHECK_FIELD(FILENAME_VIEW, title, 16);

static_assert(std::is_standard_layout_v<MESH> && sizeof(MESH) == 36);
WF_CHECK_FIELD(MESH, NR, 0);
WF_CHECK_FIELD(MESH, NZ, 4);
WF_CHECK_FIELD(MESH, NN, 8);
WF_CHECK_FIELD(MESH, NE, 12);
WF_CHECK_FIELD(MESH, NB, 16);
WF_CHECK_FIELD(MESH, NMAT, 20);
WF_CHECK_FIELD(MESH, NZF, 24);
WF_CHECK_FIELD(MESH, NZM, 28);
WF_CHECK_FIELD(MESH, RMAX, 32);

static_assert(std::is_standard_layout_v<OBSV> && sizeof(OBSV) == 64);
WF_CHECK_FIELD(OBSV, THICK, 0);
WF_CHECK_FIELD(OBSV, RATIO, 4);
WF_CHECK_FIELD(OBSV, NOBS, 8);
WF_CHECK_FIELD(OBSV, NODCNT, 12);
WF_CHECK_FIELD(OBSV, ROBS, 16);
WF_CHECK_FIELD(OBSV, IPOS, 32);
WF_CHECK_FIELD(OBSV, NODOBS, 48);

static_assert(std::is_standard_layout_v<PUMP> && sizeof(PUMP) == 184);
WF_CHECK_FIELD(PUMP, IWLO, 0);
WF_CHECK_FIELD(PUMP, NQ, 4);
WF_CHECK_FIELD(PUMP, Q, 8);
WF_CHECK_FIELD(PUMP, TQ, 88);
WF_CHECK_FIELD(PUMP, NSTEP, 168);
WF_CHECK_FIELD(PUMP, TSIM, 172);
WF_CHECK_FIELD(PUMP, IPUMP, 176);
WF_CHECK_FIELD(PUMP, IOPP, 180);

static_assert(std::is_standard_layout_v<GUESS> && sizeof(GUESS) == 64);
WF_CHECK_FIELD(GUESS, SCALT, 0);
WF_CHECK_FIELD(GUESS, SCALS, 4);
WF_CHECK_FIELD(GUESS, P0, 8);
WF_CHECK_FIELD(GUESS, PLO, 24);
WF_CHECK_FIELD(GUESS, PHI, 40);
WF_CHECK_FIELD(GUESS, PEPS, 56);
WF_CHECK_FIELD(GUESS, RMSE, 60);

static_assert(std::is_standard_layout_v<PINIT> && sizeof(PINIT) == 48);
WF_CHECK_FIELD(PINIT, TF, 0);
WF_CHECK_FIELD(PINIT, TM, 4);
WF_CHECK_FIELD(PINIT, SF, 8);
WF_CHECK_FIELD(PINIT, SM, 12);
WF_CHECK_FIELD(PINIT, TFMIN, 16);
WF_CHECK_FIELD(PINIT, SMMIN, 28);
WF_CHECK_FIELD(PINIT, TFMAX, 32);
WF_CHECK_FIELD(PINIT, SMMAX, 44);

static_assert(std::is_standard_layout_v<UNITS> && sizeof(UNITS) == 24);
WF_CHECK_FIELD(UNITS, IDIST, 0);
WF_CHECK_FIELD(UNITS, ITIN, 4);
WF_CHECK_FIELD(UNITS, ITOUT, 8);
WF_CHECK_FIELD(UNITS, ICOND, 12);
WF_CHECK_FIELD(UNITS, IFLUX, 16);
WF_CHECK_FIELD(UNITS, IDISCH, 20);

static_assert(std::is_standard_layout_v<NZERO> && sizeof(NZERO) == 4);
WF_CHECK_FIELD(NZERO, NSKIP, 0);

#undef WF_CHECK_FIELD

namespace wf::defaults {

/* Defaults of a new project. NN, NE and NB follow from NR = NZ = 0 by their formulas. */
inline MESH mesh() { return MESH{0, 0, 0, 1, -4, 2, 0, 0, 1024.0f}; }
inline UNITS units() { return UNITS{3, 2, 2, 12, 12, 8}; }
inline OBSV obsv() {
    OBSV o{};
    o.THICK = 40.0f;
    o.RATIO = 0.2f;
    o.NOBS = 1;
    o.ROBS[0] = 1.0f;
    o.IPOS[0] = 1;
    return o;
}
inline PUMP pump() {
    PUMP p{};
    p.IWLO = 0;
    p.NQ = 1;
    p.IPUMP = 1;
    p.IOPP = 1;
    return p;
}
inline GUESS guess() {
    GUESS g{};
    g.SCALT = 1.0e-5f;
    g.SCALS = 1.0e-4f;
    g.PEPS = 0.01f;
    return g;
}
inline PINIT pinit() {
    PINIT p{};
    p.TF = 0.0f;
    p.TM = 0.001f;
    p.SF = 1.0e-6f;
    p.SM = 0.003f;
    return p;
}
inline NZERO nzero() { return NZERO{0}; }

} // namespace wf::defaults
#endif /* __cplusplus */

#endif /* WFCORE_RECORDS_H */
