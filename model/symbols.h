// Table indices of the Ostrel model's variables by symbol, for the equations.
// Where the catalogue repeats a symbol the name says which entry is meant.
#pragma once

#include "model/catalogue.h"

// State indices (table States, and the derivative entry of the same number).
namespace st {
enum : int {
    Cf = 1,
    Csw = 2,
    Chw = 3,
    Cr = 4,
    Nf = 5,
    Nsw = 6,
    Nhw = 7,
    Nr = 8,
    Clfw = 9,
    Clr = 10,
    Nlf = 11,
    Nlwr = 12,
    Cs = 13,
    Ce = 14,
    Ci = 15,
    Ch = 16,
    Na = 17,
    Nh = 18,
    Nnh4 = 19,
    Nno3 = 20,
    Wr = 21,
    Wg = 22,
    Ws = 23,
    Laieos = 24,
    Jday = 25,
    DDa = 26,
    DDs = 27,
    qUnT = 28,
    PptT = 29,
    PptIT = 30,
    EtT = 31,
    QgT = 32,
    QwT = 33,
    DnT = 34,
    PST = 35,
    NPPT = 36,
    tauNT = 37,
    RPT = 38,
    lambdaCfT = 39,
    lambdaCwT = 40,
    lambdaCrT = 41,
    lambdaNfT = 42,
    lambdaNwT = 43,
    lambdaNrT = 44,
    lambdaCT = 45,
    lambdaNT = 46,
    RST = 47,
    NepT = 48,
    UNT = 49,
    UnfixT = 50,
    NminT = 51,
    QNT = 52,
    Jdfs = 53,
    Jdws = 54,
    Jdrs = 55,
};
}  // namespace st

// Process entries of the table Processes.
namespace pr {
enum : int {
    Ta = 56,  // Temp: air mean daily
    Ts = 57,  // Temp: soil mean daily
    Hd = 58,  // Day length
    Pptr = 59,  // H2O: Rainfall
    Ppts = 60,  // H2O: Snowfall
    PptI = 61,  // H2O: Interception
    Aw = 62,  // H2O: Available
    PsiD = 63,  // H2O: tension deficit
    gsw = 64,  // H2O: Canopy conductance
    ET = 65,  // H2O: Evapotranspiration
    Ms = 66,  // H2O: Snowmelt
    DR = 67,  // H2O: soil drainage
    Qg = 68,  // H2O: grnd discharge
    Nnh4aq = 69,  // NH4: Aqueous
    Nno3aq = 70,  // NO3: Aqueous
    Nnh4s = 71,  // NH4: sorbed
    Nno3s = 72,  // NO3: sorbed
    QNH4 = 73,  // NH4: loss in water
    QNO3 = 74,  // NO3: loss in water
    Cswmax = 75,  // C: Sapwood maximum
    gsC = 76,  // Canopy C conductance
    LAI = 77,  // Leaf Area Index
    Ps = 78,  // GPP: daily
    deltaPs = 79,  // GPP: isotopic signature
    tauND = 80,  // N: Drought Transloc.
    tauN = 81,  // N: translocation
    HU = 82,  // Uptake: temp response
    UNH4 = 83,  // NH4: uptake
    UNO3 = 84,  // NO3: uptake
    qUn = 85,  // N Uptake cost - daily
    Unfix = 86,  // N: Fixation
    RUnfix = 87,  // Resp: N Fixation
    HR = 88,  // Resp: temp response
    RFmet = 89,  // Resp: Metabolic foliage
    RWmet = 90,  // Resp: Metabolic wood
    RRmet = 91,  // Resp: Metabolic root
    RFgr = 92,  // Resp: Growth foliage
    RWgr = 93,  // Resp: Growth wood
    RRgr = 94,  // Resp: Growth root
    fRLF = 95,  // Resp: Labile Fol. Frac.
    fRLW = 96,  // Resp: Labile Wood Frac.
    fRLR = 97,  // Resp: Labile Root Frac.
    RfmetL = 98,  // Resp: Labile Foliage
    RrmetL_Wood = 99,  // Resp: Labile Wood
    RrmetL_Root = 100,  // Resp: Labile Root
    RfmetS = 101,  // Resp: Struct. Foliage
    RwmetS = 102,  // Resp: Struct. Wood
    RrmetS = 103,  // Resp: Struct. Root
    tauRnf = 104,  // Translocation: Resp Fol
    tauRnsw = 105,  // Translocation: Resp wood
    tauRnr = 106,  // Translocation: Resp root
    Tc = 107,  // Transport: C
    Tn = 108,  // Transport: N
    PhenologyF = 109,  // Foliage Phenology
    PhenologyW = 110,  // Wood Phenology
    PhenologyR = 111,  // Root Phenology
    FGrow = 112,  // Foliage Growing Season
    WGrow = 113,  // Wood Growing Season
    RGrow = 114,  // Root Growing Season
    Gcf = 115,  // Growth: Foliage C
    Gcsw = 116,  // Growth: Sapwood C
    Gchw = 117,  // Growth: Heartwood C
    Gcr = 118,  // Growth: Root C
    Gnf = 119,  // Growth: Foliage N
    Gnsw = 120,  // Growth: Sapwood N
    Gnhw = 121,  // Growth: Heartwood N
    Gnr = 122,  // Growth: Root N
    lambdaCFD = 123,  // Drought Litter C: Foliage
    lambdaCRD = 124,  // Drought Litter C: Roots
    lambdaNFD = 125,  // Drought Litter N: Foliage
    lambdaNRD = 126,  // Drought Litter N: Roots
    FFall = 127,  // Foliage Litter Season
    WFall = 128,  // Wood Litter Season
    RFall = 129,  // Root Litter Season
    lambdaCF = 130,  // Litter: Foliage C
    lambdaCSW = 131,  // Litter: Sapwood C
    lambdaCHW = 132,  // Litter: Heartwood C
    lambdaCR = 133,  // Litter: Root C
    lambdaNF = 134,  // Litter: Foliage N
    lambdaNSW = 135,  // Litter: Sapwood N
    lambdaNHW = 136,  // Litter: Heartwood N
    lambdaNR = 137,  // Litter: Root N
    FClambdaE = 138,  // C input to extractives
    FClambdaS = 139,  // C input to acid soluble
    FClambdaI = 140,  // C input to acid insoluble
    FNlambdaA = 141,  // N input to active N
    rSm = 142,  // Soil metabolic rate
    FCSE = 143,  // Soil C Sol-Extr flux
    FCEI = 144,  // Soil C Extr-Insol flux
    FCIE = 145,  // Soil C Insol-Extr flux
    FCIH = 146,  // Soil C Insol-Humus flux
    RE = 147,  // Soil resp active
    RH = 148,  // Soil resp humus
    MNA = 149,  // N Min: gross active daily
    MNH = 150,  // N Min: gross humus daily
    FNAH = 151,  // Soil N act-humus flux
    INH4 = 152,  // NH4: immobilization
    INO3 = 153,  // NO3: immobilization
    Fntri = 154,  // Nitrification
    Cw = 155,  // C: Total Wood
    Nw = 156,  // N: Total Wood
    qF = 157,  // C:N; Foliage
    qSW = 158,  // C:N; Sapwood
    qHW = 159,  // C:N; Heartwood
    qW = 160,  // C:N; Total wood
    qR = 161,  // C:N; Root
    qrs = 162,  // Root:Shoot ratio
    CPT = 163,  // C: total plant
    CST = 164,  // C: total organic soil
    NPT = 165,  // N: total plant
    NST = 166,  // N: total organic soil
    qPT = 167,  // C:N; total plant
    qST = 168,  // C:N; total soil
    NIT = 169,  // N: total inorganic soil
    CET = 170,  // C: total ecosystem
    NET = 171,  // N: total ecosystem
    RF = 172,  // Resp: Total foliage
    RW = 173,  // Resp: Total wood
    RR = 174,  // Resp: Total root
    Rp = 175,  // Resp: Total plant
    Rs = 176,  // Resp: Total soil
    NPPf = 177,  // NPP: foliar
    NPPw = 178,  // NPP: wood
    NPPr = 179,  // NPP: root
    NPP = 180,  // NPP: daily
    NEP = 181,  // NEP: daily
    lambdaC = 182,  // Litter: total C
    lambdaN = 183,  // Litter: total N
    Dn = 184,  // N: Total Deposition
    Un = 185,  // N Uptake, daily
    Mg = 186,  // N Min: gross total daily
    Id = 187,  // Immobilization, tot daily
    Nmin = 188,  // N Min: net total daily
    Qn = 189,  // N: loss in water
};
}  // namespace pr

// Driver indices of the table Drivers.
namespace dr {
enum : int {
    Ca = 1,
    Tamax = 2,
    Tamin = 3,
    Ts = 4,
    Ppt = 5,
    II = 6,
    DNH4 = 7,
    DNO3 = 8,
    DlambdaCF = 9,
    DlambdaCSW = 10,
    DlambdaCHW = 11,
    DlambdaCR = 12,
    DlambdaNF = 13,
    DlambdaNSW = 14,
    DlambdaNHW = 15,
    DlambdaNR = 16,
    DNnh4 = 17,
    DNno3 = 18,
};
}  // namespace dr

// A parameter named by its owning process entry and its position there.
struct ParamRef {
    int Owner;
    int J;
    // Entry in the table Params.
    constexpr int Index() const { return CatalogueParamBase(Owner) + J; }
};

namespace pa {
inline constexpr ParamRef Deltad{58, 1};
inline constexpr ParamRef Tas{59, 1};
inline constexpr ParamRef bIf{61, 1};
inline constexpr ParamRef bIsw{61, 2};
inline constexpr ParamRef Ww{62, 1};
inline constexpr ParamRef Wf{62, 2};
inline constexpr ParamRef Psiw{63, 1};
inline constexpr ParamRef Psif{63, 2};
inline constexpr ParamRef alphaT{65, 1};
inline constexpr ParamRef gAW{65, 2};
inline constexpr ParamRef rhot{66, 1};
inline constexpr ParamRef alphas{66, 2};
inline constexpr ParamRef gammat{66, 3};
inline constexpr ParamRef alphaD{67, 1};
inline constexpr ParamRef alphaQ{68, 1};
inline constexpr ParamRef rhoS{69, 1};
inline constexpr ParamRef z{69, 2};
inline constexpr ParamRef Vnh4max{69, 3};
inline constexpr ParamRef etaNH4{69, 4};
inline constexpr ParamRef Vno3max{70, 1};
inline constexpr ParamRef etaNO3{70, 2};
inline constexpr ParamRef h1{75, 1};
inline constexpr ParamRef h2{75, 2};
inline constexpr ParamRef omegaS{76, 1};
inline constexpr ParamRef mF{77, 1};
inline constexpr ParamRef aNf{78, 1};
inline constexpr ParamRef Clfwmax{78, 2};
inline constexpr ParamRef epsilsonPs{78, 3};
inline constexpr ParamRef deltaCa{79, 1};
inline constexpr ParamRef aDelta{79, 2};
inline constexpr ParamRef bDelta{79, 3};
inline constexpr ParamRef atau{81, 1};
inline constexpr ParamRef TUmax{82, 1};
inline constexpr ParamRef TUopt{82, 2};
inline constexpr ParamRef gammaU{82, 3};
inline constexpr ParamRef UNH4max{83, 1};
inline constexpr ParamRef kNH4{83, 2};
inline constexpr ParamRef thetaU{83, 3};
inline constexpr ParamRef Nlwrmax{83, 4};
inline constexpr ParamRef epsilsonUn{83, 5};
inline constexpr ParamRef UNO3max{84, 1};
inline constexpr ParamRef kNO3{84, 2};
inline constexpr ParamRef gUn{85, 1};
inline constexpr ParamRef qUnfix{86, 1};
inline constexpr ParamRef gNfix{86, 2};
inline constexpr ParamRef kNfix{86, 3};
inline constexpr ParamRef TRmax{88, 1};
inline constexpr ParamRef TRopt{88, 2};
inline constexpr ParamRef gammaR{88, 3};
inline constexpr ParamRef rm{89, 1};
inline constexpr ParamRef qFmin{89, 2};
inline constexpr ParamRef awr{90, 1};
inline constexpr ParamRef qWmin{90, 2};
inline constexpr ParamRef qRmin{91, 1};
inline constexpr ParamRef rg{92, 1};
inline constexpr ParamRef sL{95, 1};
inline constexpr ParamRef aLC{107, 1};
inline constexpr ParamRef bLC{107, 2};
inline constexpr ParamRef aLN{108, 1};
inline constexpr ParamRef bLN{108, 2};
inline constexpr ParamRef Jddstart{109, 1};
inline constexpr ParamRef DDfstart{109, 2};
inline constexpr ParamRef DDfstop{109, 3};
inline constexpr ParamRef JlambdaStart{109, 4};
inline constexpr ParamRef TacrF{109, 5};
inline constexpr ParamRef DsensF{109, 6};
inline constexpr ParamRef DDwstart{110, 1};
inline constexpr ParamRef DDwstop{110, 2};
inline constexpr ParamRef TacrW{110, 3};
inline constexpr ParamRef DsensW{110, 4};
inline constexpr ParamRef DDrstart{111, 1};
inline constexpr ParamRef DDrstop{111, 2};
inline constexpr ParamRef TacrR{111, 3};
inline constexpr ParamRef DsensR{111, 4};
inline constexpr ParamRef gf{115, 1};
inline constexpr ParamRef bGf{115, 2};
inline constexpr ParamRef epsilonF{115, 3};
inline constexpr ParamRef gw{116, 1};
inline constexpr ParamRef bGw{116, 2};
inline constexpr ParamRef epsilonW{116, 3};
inline constexpr ParamRef aGHW{117, 1};
inline constexpr ParamRef gr{118, 1};
inline constexpr ParamRef bGr{118, 2};
inline constexpr ParamRef epsilonR{118, 3};
inline constexpr ParamRef alambdaCFD{123, 1};
inline constexpr ParamRef alambdaCRD{123, 2};
inline constexpr ParamRef Awd{123, 3};
inline constexpr ParamRef atauD{123, 4};
inline constexpr ParamRef alambdaF{130, 1};
inline constexpr ParamRef sigmaLambdaF{130, 2};
inline constexpr ParamRef Cfe{130, 3};
inline constexpr ParamRef alambdaW{131, 1};
inline constexpr ParamRef sigmaLambdaW{131, 2};
inline constexpr ParamRef Cwe{131, 3};
inline constexpr ParamRef alambdaR{133, 1};
inline constexpr ParamRef sigmaLambdaR{133, 2};
inline constexpr ParamRef Cre{133, 3};
inline constexpr ParamRef Q10D{142, 1};
inline constexpr ParamRef sigmaD{142, 2};
inline constexpr ParamRef Awdopt{142, 3};
inline constexpr ParamRef Jdb{142, 4};
inline constexpr ParamRef aSE{143, 1};
inline constexpr ParamRef aEI{144, 1};
inline constexpr ParamRef aIE{145, 1};
inline constexpr ParamRef aIH{146, 1};
inline constexpr ParamRef beta{147, 1};
inline constexpr ParamRef aH{148, 1};
inline constexpr ParamRef aA{149, 1};
inline constexpr ParamRef qI{151, 1};
inline constexpr ParamRef VINH4max{152, 1};
inline constexpr ParamRef kINH4{152, 2};
inline constexpr ParamRef VINO3max{153, 1};
inline constexpr ParamRef kINO3{153, 2};
inline constexpr ParamRef aNtri{154, 1};
}  // namespace pa

static_assert(pa::Deltad.Index() == 1 && pa::mF.Index() == 25 && pa::aNtri.Index() == 114);
