/* Options of the runs beyond the standard model and search (the fine model, and the
 * analysis beyond the plain search), and the fit report.
 *
 * wfSetOptions (declared in wfcore.h) installs a WfOptions record for the
 * following wftDLL calls. A null record, or one whose fields are all zero,
 * leaves the analysis exactly as the plain search makes it. The fit report is
 * written after every optimisation and fixed-time run to the side file
 * {base}.fit and, when WfOptions.report is set, copied into the caller's
 * WfFitReport. It uses the derivative columns of the last search step; a run
 * without one (a fixed-time run, or a search that ended on its first pass)
 * makes them afresh, one model run per estimated unknown, and only when a
 * record is installed: without one such a run stays the single model run of
 * the plain entry, and {base}.fit says why it holds no report.
 *
 * An observation file of several points (NOBS > 1) is fitted at all of them:
 * the model's time levels are the union of the points' times, and the
 * objective is the sum over every measured (point, time) pair of the point's
 * weight times the squared residual. One point is fitted exactly as the standard program does.
 *
 * Both records start with their size and version. A caller sets them to the
 * values of the header it was built with (C++ callers get them from the
 * members' initialisers, C callers from wfInitOptions and wfInitFitReport);
 * the library reads only the fields that fit in the caller's size (the later
 * ones keep their defaults) and writes only those of the report, so a caller
 * built against an older header keeps working when the records grow at their
 * end. The texts of the report that have no fixed length (the verdict) are
 * fetched with wfFitVerdict into a buffer of the caller's size.
 */
#ifndef WFCORE_OPTIONS_H
#define WFCORE_OPTIONS_H

#include <stdint.h>
#include <string.h>

/* Initial values of members that only C++ can give in the declaration. */
#ifdef __cplusplus
#define WF_MEMBER_INIT(value) = value
#else
#define WF_MEMBER_INIT(value)
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Versions and sizes of the records declared here (the sizes are those of the
 * 64-bit platforms the library is built for; the build checks them). */
#define WF_OPTIONS_VERSION 2   /* 2: holdWell appended */
#define WF_OPTIONS_SIZE 128
#define WF_FIT_REPORT_VERSION 2   /* 2: the pumped well's skin and casing radius appended */
#define WF_FIT_REPORT_SIZE 3456

/* The search of an optimisation (WfOptions.search, WfFitReport.search). */
enum {
    WF_SEARCH_PLAIN = 0,       /* the Marquardt search of the standard program */
    WF_SEARCH_BOUND_AWARE = 1, /* a parameter on a bound whose step points outward is held for that
                                  pass; stops by stopTolerance and maxPasses */
    WF_SEARCH_ROBUST = 2       /* trust-region Levenberg-Marquardt in the logarithms of the estimated
                                  multipliers from WfOptions.starts starts; the best end point polished */
};

/* How one start of the robust search ended (WfFitStart.ending). */
enum {
    WF_START_CONVERGED_GRADIENT = 1, /* the scaled gradient fell below its tolerance */
    WF_START_CONVERGED_STEP = 2,     /* an undamped step changed no parameter by more than its tolerance */
    WF_START_STALLED = 3,            /* ten trial steps in a row failed to lower the error estimate */
    WF_START_PASS_LIMIT = 4,         /* maxPasses passes made without convergence */
    WF_START_CANCELLED = 5,          /* the user pressed Cancel */
    WF_START_FITS_DATA = 6           /* S fell to the error floor: the data are matched below their resolution */
};

/* Most starts of the robust search (WfOptions.starts) and entries of WfFitReport.starts. */
#define WF_MAX_STARTS 32

/* The flow model of a run (WfOptions.fineModel, WfFitReport.model). */
enum { WF_MODEL_STANDARD = 0, WF_MODEL_FINE = 1 };

/* Parameter order of hold[], parameters[] and the correlation names. */
enum { WF_PARAM_TF = 0, WF_PARAM_TM = 1, WF_PARAM_SF = 2, WF_PARAM_SM = 3 };
/* Order of WfOptions.holdWell and WfFitReport.startWell: the pumped well's unknowns. */
enum { WF_WELL_SKIN = 0, WF_WELL_CASING = 1 };

/* What ended the analysis (WfFitReport.stopRule). */
enum {
    WF_STOP_NONE = 0,        /* no pass completed */
    WF_STOP_SEARCH = 1,      /* the search's own status (converged, or a search message) */
    WF_STOP_FIT = 2,         /* the error estimate fell below the fit requirement RMSE */
    WF_STOP_TOLERANCE = 3,   /* bound-aware search: the error estimate fell by less than stopTolerance */
    WF_STOP_MAX_PASSES = 4,  /* bound-aware search: maxPasses passes made */
    WF_STOP_CANCEL = 5,      /* the user pressed Cancel */
    WF_STOP_FIXED_TIME = 6   /* a fixed-time run: one pass by definition */
};

/* One parameter or total in the user's units (transmissivities in the ICOND
 * unit times the distance unit, storativities dimensionless). Figures without
 * a meaning (a held parameter's error, an error the data cannot give) are NaN. */
typedef struct WfFitParameter {
    double value;
    double standardError;
    double low95, high95; /* value -/+ Student's t(0.975, n - NSKIP - p) x standardError */
    double logLow95, logHigh95; /* exp(ln value -/+ t x se(ln value)), se(ln value) = standardError / value:
                                   the interval of a positive quantity, always positive */
    int32_t estimated;    /* 1 when the search moved it (alone, or tied with the other layer) */
    int32_t held;         /* 1 when held at its guess */
    int32_t atBound;      /* 0 inside its bounds, -1 on its lower bound, +1 on its upper bound */
    int32_t reserved;
} WfFitParameter;

/* The fit at one observation point (WfFitReport.pointFits). */
typedef struct WfFitPoint {
    int32_t node;         /* mesh node of the point */
    int32_t residuals;    /* its residuals used (its measurements less the NSKIP first) */
    double weight;        /* its weight in the objective */
    double errorEstimate; /* its share of S: weight x its sum of squared residuals */
    double rmse;          /* sqrt(its sum of squared residuals / its residuals), unweighted, drawdown unit */
} WfFitPoint;

/* The end of one start of the robust search (WfFitReport.starts). */
typedef struct WfFitStart {
    double errorEstimate; /* S at its end */
    double parameters[4]; /* TF, TM, SF, SM at its end, in the units of WfFitReport.parameters */
    int32_t passes;       /* passes (derivative evaluations) it made */
    int32_t ending;       /* WF_START_... */
} WfFitStart;

typedef struct WfFitReport {
    uint32_t size WF_MEMBER_INIT(WF_FIT_REPORT_SIZE);       /* sizeof the record as the caller knows it */
    uint32_t version WF_MEMBER_INIT(WF_FIT_REPORT_VERSION);
    int32_t valid;        /* 1 when the last analysis run made a report */
    int32_t type;         /* analysis type: 0 optimisation, 1 fixed time */
    int32_t status;       /* the search's status after the last pass */
    int32_t stopRule;     /* WF_STOP_... */
    int32_t passes;       /* passes made ("Iteration" count) */
    int32_t modelRuns;    /* model runs made, derivative runs included */
    int32_t residuals;    /* residuals used: n - NSKIP */
    int32_t unknowns;     /* number of estimated unknowns p (rows of unknownCorrelation; of correlation up to 4) */
    double errorEstimate; /* S, the sum of squared residuals (the search's "RMSE") */
    double rmse;          /* sqrt(S / (n - NSKIP)), in the drawdown unit */
    double condition;     /* condition number of the scaled normal matrix; NaN when p = 0 */
    WfFitParameter parameters[4]; /* TF, TM, SF, SM */
    WfFitParameter totals[2];     /* TF + TM, SF + SM */
    char names[4][8];             /* names of the unknowns: "TF".."SM", or "T", "S" for one aquifer */
    double correlation[4][4];     /* correlation of the unknowns, [0..p-1][0..p-1]; NaN where undefined */
    char message[128];            /* what ended the run, in words (UTF-8, never cut inside a character) */
    int32_t verdictLength;        /* bytes of the plain-language verdict (wfFitVerdict fetches it) */
    int32_t points;               /* observation points fitted (1..4) */
    WfFitPoint pointFits[4];      /* the fit at each point, in the order of the observation file */
    int32_t model;                /* WF_MODEL_STANDARD or WF_MODEL_FINE: the model that made the fit */
    int32_t meshColumns;          /* NR of the mesh the model ran on */
    int32_t meshRows;             /* NZ of the mesh the model ran on */
    int32_t search;               /* WF_SEARCH_... of an optimisation */
    /* Signs of the residuals: a runs test for a systematic misfit. */
    int32_t signRuns;             /* runs of equal sign among the residuals used (zeros left out) */
    double expectedRuns;          /* runs expected of independent signs: 1 + 2 n+ n- / (n+ + n-) */
    double runsZ;                 /* (signRuns - expectedRuns) / its standard deviation; NaN when undefined */
    /* The robust search: every start's end, in the order of the design (0: the guesses). */
    int32_t startCount;           /* starts made (0 for the other searches) */
    int32_t startsAtBest;         /* starts that ended within 0.1 % (plus errorFloor) of the lowest error estimate */
    double errorFloor;            /* differences of S below it are below any data's resolution:
                                     (1e-4)^2 x the sum of the squared observed drawdowns used */
    WfFitStart starts[WF_MAX_STARTS];
    /* Version 2. The pumped well of the fine model (a well radius): its skin and casing radius are
     * unknowns of the search unless held (WfOptions.holdWell). Without a well every field below is 0. */
    int32_t well;                 /* 1 when the model had a pumped well: skin and casingRadius hold its values */
    int32_t onlyAtWell;           /* 1 when every observation point is the pumped well itself */
    WfFitParameter skin;          /* skin factor Sk (dimensionless, may be 0 or negative: no log interval) */
    WfFitParameter casingRadius;  /* r_c in the distance unit; log interval as for the other positive quantities */
    double storageSkinCorrelation; /* correlation of the estimates of S (SF + SM) and Sk; NaN when undefined */
    char unknownNames[6][8];      /* names of every estimated unknown, "skin" and "rc" after the aquifer's;
                                     names[] and correlation[] above hold the first four of them */
    double unknownCorrelation[6][6]; /* correlation of every estimated unknown, [0..unknowns-1][0..unknowns-1] */
    double startWell[WF_MAX_STARTS][2]; /* robust search: Sk and r_c at each start's end (WF_WELL_...) */
} WfFitReport;

typedef struct WfOptions {
    uint32_t size WF_MEMBER_INIT(WF_OPTIONS_SIZE);     /* sizeof the record as the caller knows it */
    uint32_t version WF_MEMBER_INIT(WF_OPTIONS_VERSION);
    int32_t hold[4];       /* non-zero: TF, TM, SF, SM held at its guess */
    int32_t oneAquifer;    /* non-zero: one conductivity and one specific storage for both layers */
    int32_t search;        /* WF_SEARCH_...: the search of an optimisation */
    double stopTolerance;  /* relative fall of the error estimate in a pass below which the search
                              stops; <= 0 means 1e-5 */
    int32_t maxPasses;     /* most passes of the bound-aware search; <= 0 means 200 */
    int32_t fineModel;     /* WF_MODEL_FINE: the fine model in the mesh, preparation and analysis runs */
    int32_t threads;       /* threads for the derivative models of a pass (both models) and for the
                              starts of the robust search; <= 0 means as many as the machine has
                              cores (the results do not depend on it) */
    int32_t starts;        /* robust search: starts, the guesses and starts - 1 spread around them;
                              <= 0 means 8, at most WF_MAX_STARTS */
    WfFitReport* report;   /* when not null, filled after every analysis run (valid = 0 if none) */
    double weights[4];     /* weight of each observation point's squared residuals in the objective of
                              an analysis of several points; <= 0 (or not a number) means 1 */
    /* The pumped well of the fine model; all three 0: a line of sources on the axis. */
    double wellRadius;     /* r_w, distance unit: the fine mesh starts at the well face (> 0: a well) */
    double casingRadius;   /* r_c, distance unit: wellbore storage pi r_c^2 (0: none; needs a well) */
    double skin;           /* skin factor Sk, dimensionless (needs a well) */
    /* Version 2. With a well the skin and the casing radius are unknowns of the search from the
     * values above (the casing radius only when it is > 0); non-zero: held at that value. */
    int32_t holdWell[2];   /* WF_WELL_SKIN, WF_WELL_CASING */
} WfOptions;

/* Every field of the record at its default, size and version of this header
 * (C++ callers have them from value-initialisation: WfOptions options{};). */
static inline void wfInitOptions(WfOptions* options) {
    memset((void*)options, 0, sizeof *options);
    options->size = (uint32_t)sizeof *options;
    options->version = WF_OPTIONS_VERSION;
}

static inline void wfInitFitReport(WfFitReport* report) {
    memset((void*)report, 0, sizeof *report);
    report->size = (uint32_t)sizeof *report;
    report->version = WF_FIT_REPORT_VERSION;
}

#ifdef __cplusplus
}
#endif

#endif /* WFCORE_OPTIONS_H */
