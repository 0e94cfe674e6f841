#include "model/sections.h"

void Totals(ModelFrame& f) {
    const double* s = f.s;
    double* v = f.v;

    v[pr::Cw] = s[st::Csw] + s[st::Chw];
    v[pr::Nw] = s[st::Nsw] + s[st::Nhw];
    // Plant totals include the labile pools and the heartwood.
    v[pr::CPT] = s[st::Cf] + s[st::Csw] + s[st::Chw] + s[st::Cr] + s[st::Clfw] + s[st::Clr];
    v[pr::NPT] = s[st::Nf] + s[st::Nsw] + s[st::Nhw] + s[st::Nr] + s[st::Nlf] + s[st::Nlwr];
    v[pr::CST] = s[st::Cs] + s[st::Ce] + s[st::Ci] + s[st::Ch];
    v[pr::NST] = s[st::Na] + s[st::Nh];
    v[pr::qPT] = v[pr::CPT] / v[pr::NPT];
    v[pr::qST] = v[pr::CST] / v[pr::NST];
    v[pr::NIT] = s[st::Nnh4] + s[st::Nno3];
    v[pr::CET] = v[pr::CPT] + v[pr::CST];
    v[pr::NET] = v[pr::NPT] + v[pr::NST];
    v[pr::qrs] = s[st::Cr] / s[st::Cf];

    v[pr::RF] = v[pr::RFmet] + v[pr::RFgr];
    v[pr::RW] = v[pr::RWmet] + v[pr::RWgr];
    v[pr::RR] = v[pr::RRmet] + v[pr::RRgr];
    // Plant respiration includes the cost of nitrogen fixation.
    v[pr::Rp] = v[pr::RF] + v[pr::RW] + v[pr::RR] + v[pr::RUnfix];
    v[pr::Rs] = v[pr::RE] + v[pr::RH];
    v[pr::NPPf] = v[pr::Gcf];
    v[pr::NPPw] = v[pr::Gcsw];
    v[pr::NPPr] = v[pr::Gcr];
    v[pr::NPP] = v[pr::Ps] - v[pr::Rp];
    v[pr::NEP] = v[pr::NPP] - v[pr::Rs];

    v[pr::lambdaC] = v[pr::lambdaCF] + v[pr::lambdaCSW] + v[pr::lambdaCHW] + v[pr::lambdaCR];
    v[pr::lambdaN] = v[pr::lambdaNF] + v[pr::lambdaNSW] + v[pr::lambdaNHW] + v[pr::lambdaNR];
    v[pr::Dn] = f.d[dr::DNH4] + f.d[dr::DNO3];
    v[pr::Mg] = v[pr::MNA] + v[pr::MNH];
    v[pr::Id] = v[pr::INH4] + v[pr::INO3];
    v[pr::Nmin] = v[pr::MNA] + v[pr::MNH] - v[pr::INH4] - v[pr::INO3];
    v[pr::Qn] = v[pr::QNH4] + v[pr::QNO3];
}
