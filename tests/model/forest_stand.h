// A plausible temperate forest stand in mid-summer: drivers, parameters and
// states for evaluating the model equations in tests and benchmarks.
#pragma once

#include "core/stypes.h"
#include "model/symbols.h"

struct ForestStand {
    driverarray drivers{};
    paramarray params{};
    statearray states{};

    double& P(ParamRef r) { return params[r.Index()].Value; }
    double& D(int driver) { return drivers[driver].Value; }
    double& S(int state) { return states[state].Value; }

    ForestStand() {
        D(dr::Ca) = 400;    // ppm
        D(dr::Tamax) = 25;  // degrees C
        D(dr::Tamin) = 12;
        D(dr::Ts) = 15;
        D(dr::Ppt) = 3;  // mm day-1
        D(dr::II) = 20;  // MJ m-2 day-1
        D(dr::DNH4) = 0.002;
        D(dr::DNO3) = 0.002;
        for (int i = dr::DlambdaCF; i <= dr::DNno3; ++i) D(i) = -1;  // all modelled

        P(pa::Deltad) = 45;
        P(pa::Tas) = 0;
        P(pa::bIf) = 0.2;
        P(pa::bIsw) = 0.0001;
        P(pa::Ww) = 50;
        P(pa::Wf) = 200;
        P(pa::Psiw) = -1.5;
        P(pa::Psif) = -0.033;
        P(pa::alphaT) = 0.15;
        P(pa::gAW) = 5000;
        P(pa::rhot) = 0.6;
        P(pa::alphas) = 0.7;
        P(pa::gammat) = 1.0;
        P(pa::alphaD) = 0.2;
        P(pa::alphaQ) = 0.05;
        P(pa::rhoS) = 1.2e6;
        P(pa::z) = 0.5;
        P(pa::Vnh4max) = 2e-6;
        P(pa::etaNH4) = 300;
        P(pa::Vno3max) = 1e-7;
        P(pa::etaNO3) = 1000;
        P(pa::h1) = 7.3;
        P(pa::h2) = 0.5;
        P(pa::omegaS) = 4;
        P(pa::mF) = 60;
        P(pa::aNf) = 1;
        P(pa::Clfwmax) = 500;
        P(pa::epsilsonPs) = 1.5;
        P(pa::deltaCa) = -8;
        P(pa::aDelta) = 4.4;
        P(pa::bDelta) = 27;
        P(pa::atau) = 0.5;
        P(pa::TUmax) = 45;
        P(pa::TUopt) = 25;
        P(pa::gammaU) = 0.1;
        P(pa::UNH4max) = 0.05;
        P(pa::kNH4) = 50;
        P(pa::thetaU) = 0.005;
        P(pa::Nlwrmax) = 5;
        P(pa::epsilsonUn) = 2.5;
        P(pa::UNO3max) = 0.05;
        P(pa::kNO3) = 50;
        P(pa::gUn) = 0.06;
        P(pa::qUnfix) = 8;
        P(pa::gNfix) = 0.0001;
        P(pa::kNfix) = 5;
        P(pa::TRmax) = 45;
        P(pa::TRopt) = 30;
        P(pa::gammaR) = 0.1;
        P(pa::rm) = 0.1;
        P(pa::qFmin) = 20;
        P(pa::awr) = 0.2;
        P(pa::qWmin) = 150;
        P(pa::qRmin) = 30;
        P(pa::rg) = 0.25;
        P(pa::sL) = 0.02;
        P(pa::aLC) = 0.01;
        P(pa::bLC) = 1;
        P(pa::aLN) = 0.01;
        P(pa::bLN) = 1;
        P(pa::Jddstart) = 60;
        P(pa::DDfstart) = 100;
        P(pa::DDfstop) = 800;
        P(pa::JlambdaStart) = 250;
        P(pa::TacrF) = 5;
        P(pa::DsensF) = 30;
        P(pa::DDwstart) = 150;
        P(pa::DDwstop) = 1200;
        P(pa::TacrW) = 5;
        P(pa::DsensW) = 30;
        P(pa::DDrstart) = 100;
        P(pa::DDrstop) = 1500;
        P(pa::TacrR) = 5;
        P(pa::DsensR) = 30;
        P(pa::gf) = 0.05;
        P(pa::bGf) = 25;
        P(pa::epsilonF) = 0.5;
        P(pa::gw) = 0.01;
        P(pa::bGw) = 200;
        P(pa::epsilonW) = 0.5;
        P(pa::aGHW) = 0.001;
        P(pa::gr) = 0.05;
        P(pa::bGr) = 40;
        P(pa::epsilonR) = 0.5;
        P(pa::alambdaCFD) = 0.1;
        P(pa::alambdaCRD) = 0.1;
        P(pa::Awd) = 0.2;
        P(pa::atauD) = 0.3;
        P(pa::alambdaF) = 0.05;
        P(pa::sigmaLambdaF) = 5;
        P(pa::Cfe) = 50;
        P(pa::alambdaW) = 0.0005;
        P(pa::sigmaLambdaW) = 5;
        P(pa::Cwe) = 1000;
        P(pa::alambdaR) = 0.005;
        P(pa::sigmaLambdaR) = 5;
        P(pa::Cre) = 100;
        P(pa::Q10D) = 2;
        P(pa::sigmaD) = 0.5;
        P(pa::Awdopt) = 0.7;
        P(pa::Jdb) = 0.8;
        P(pa::aSE) = 0.0005;
        P(pa::aEI) = 0.0005;
        P(pa::aIE) = 0.0001;
        P(pa::aIH) = 0.0003;
        P(pa::beta) = 0.5;
        P(pa::aH) = 0.00002;
        P(pa::aA) = 0.001;
        P(pa::qI) = 20;
        P(pa::VINH4max) = 0.0005;
        P(pa::kINH4) = 50;
        P(pa::VINO3max) = 0.0005;
        P(pa::kINO3) = 50;
        P(pa::aNtri) = 0.0001;

        S(st::Cf) = 300;  // g C m-2
        S(st::Csw) = 4000;
        S(st::Chw) = 8000;
        S(st::Cr) = 600;
        S(st::Nf) = 12;  // C:N 25
        S(st::Nsw) = 16;  // C:N 250
        S(st::Nhw) = 32;
        S(st::Nr) = 15;  // C:N 40
        S(st::Clfw) = 300;
        S(st::Clr) = 100;
        S(st::Nlf) = 1;
        S(st::Nlwr) = 3;
        S(st::Cs) = 1000;
        S(st::Ce) = 2000;
        S(st::Ci) = 8000;
        S(st::Ch) = 12000;
        S(st::Na) = 300;
        S(st::Nh) = 600;
        S(st::Nnh4) = 1.0;
        S(st::Nno3) = 0.5;
        S(st::Wr) = 150;  // mm
        S(st::Wg) = 200;
        S(st::Ws) = 0;
        S(st::Laieos) = 5;
        S(st::Jday) = 180;
        S(st::DDa) = 900;
        S(st::DDs) = 700;
        S(st::qUnT) = 10;
        for (int i = st::PptT; i <= st::QNT; ++i) S(i) = 10.0 * i;  // part-way through the year
        S(st::Jdfs) = 999;
        S(st::Jdws) = 999;
        S(st::Jdrs) = 999;
    }
};
