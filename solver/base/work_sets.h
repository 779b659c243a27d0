// The work-array sets of the three run kinds, allocated by the run driver at
// the start of a run and freed at its end.
#pragma once

#include "base/arrays.h"

namespace wf {

// Mesh run: node coordinates.
struct MeshSet {
    Vec1<double> Z;  // vertical node coordinates (30, only NZ = 20 used)
    Vec1<double> R;  // radial node coordinates (25)
    void allocate(int nzmax, int nrmax) {
        Z.allocate(nzmax);
        R.allocate(nrmax);
    }
    void release() {
        Z.release();
        R.release();
    }
};

// Preparation run: the test data.
struct PrepSet {
    Vec1<double> H;    // observed values, NPTS * NOBS
    Vec1<int> IDX;     // selected time indices, NPTS + 5
    Vec1<double> T;    // observation times, NPTS * NOBS
    void allocate(long long npts, long long nobs) {
        H.allocate(npts * nobs);
        IDX.allocate(npts + 5);
        T.allocate(npts * nobs);
    }
    void release() {
        H.release();
        IDX.release();
        T.release();
    }
};

// Analysis run, estimation set (M = NOBSF * NTIM).
struct EstimationSet {
    Mat1<double> A, AS;     // normal matrix and its scaled, damped copy, NPAR x (NPAR + 2)
    Vec1<double> W;         // search work vector, M + NPAR * (M + 2)
    Vec1<double> FCUR;      // simulated values at the current point, M
    Vec1<double> TOUT;      // times read back from the simulation file, M
    Vec1<double> YOBS;      // observed drawdowns, M
    Vec1<double> P;         // parameter multipliers, NPAR
    Vec1<double> TG;        // model time levels in seconds, NTIM
    Mat1<double> SIM;       // simulated values, NOBSF x NTIM
    Vec1<int> IOBS;         // observation nodes, NOBSF
    void allocate(long long ntim, long long nobsf, long long npar) {
        const long long m = nobsf * ntim;
        A.allocate(npar, npar + 2);
        AS.allocate(npar, npar + 2);
        W.allocate(m + npar * (m + 2));
        FCUR.allocate(m);
        TOUT.allocate(m);
        YOBS.allocate(m);
        P.allocate(npar);
        TG.allocate(ntim);
        SIM.allocate(nobsf, ntim);
        IOBS.allocate(nobsf);
    }
    void release() { *this = EstimationSet{}; }
};

// Analysis run, model set: the flow model's arrays, sized from NR and NZ.
struct ModelSet {
    // seven node vectors
    Vec1<double> X, Y;        // node coordinates r, z (metres)
    Vec1<double> BASELEV;     // base levels (dry-node test)
    Vec1<double> H0;          // initial heads
    Vec1<double> HOLD, HNEW;  // heads at the start and end of a step
    Vec1<double> RHS;         // right-hand side, then solution
    Vec1<int> MAT;            // node material
    Mat1<int> CON;            // element connectivity, NE x 4
    Mat1<int> BSIDE;          // boundary sides, NB x 4
    Mat1<int> DSIDE;          // Dirichlet sides, NB x 4
    Mat1<double> BAND;        // band matrix, NN x (NR + 2)
    // well-row tables
    Mat1<int> NSIDE;          // Neumann sides, NZ x 4
    Vec1<int> DNODE;          // Dirichlet nodes, NZ
    Mat1<int> SRC;            // point sources: node, profile points; NZ x 2
    Mat1<double> NFLUX;       // Neumann fluxes, NZ x 3
    Vec1<double> DHEAD;       // Dirichlet heads, NZ
    Arr3<double> PROF;        // source profiles (time s, rate m3/s), NZ x 21 x 2
    void allocate(long long nr, long long nz) {
        const long long nn = nr * nz, ne = (nr - 1) * (nz - 1), nb = 2 * (nr + nz) - 4;
        for (Vec1<double>* v : {&X, &Y, &BASELEV, &H0, &HOLD, &HNEW, &RHS}) v->allocate(nn);
        MAT.allocate(nn);
        CON.allocate(ne, 4);
        BSIDE.allocate(nb, 4);
        DSIDE.allocate(nb, 4);
        BAND.allocate(nn, nr + 2);
        NSIDE.allocate(nz, 4);
        DNODE.allocate(nz);
        SRC.allocate(nz, 2);
        NFLUX.allocate(nz, 3);
        DHEAD.allocate(nz);
        // 21 profile points: a schedule of 20 pumping steps needs NQ + 1 of them.
        PROF.allocate(nz, 21, 2);
    }
    void release() { *this = ModelSet{}; }
};

} // namespace wf
