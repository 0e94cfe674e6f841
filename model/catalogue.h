// The catalogue of the Ostrel model: names, units and symbols of every
// state, process, parameter and driver, as immutable static data.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

struct CatalogueText {
    std::string_view Symbol;
    std::string_view Name;
    std::string_view Units;
};

struct CatalogueProcess {
    std::string_view Symbol;
    std::string_view Name;
    std::string_view Units;
    std::int32_t ParamCount;
    std::uint8_t TabCategory;
    std::uint8_t Marked;
};

inline constexpr std::string_view OstrelName = "Ostrel";
inline constexpr std::string_view OstrelVersion = "6.4.2";
inline constexpr std::string_view OstrelTimeUnit = "days";
inline constexpr int OstrelNumStates = 55;
inline constexpr int OstrelNumModelProcesses = 134;
inline constexpr int OstrelNumProcesses = OstrelNumStates + OstrelNumModelProcesses;
inline constexpr int OstrelNumDrivers = 18;
inline constexpr int OstrelNumParams = 114;

// States 1..55.
inline constexpr std::array<CatalogueText, OstrelNumStates> StateCatalogue{{
    {"Cf", "C: foliar", "g C m-2 ground"},  // 1
    {"Csw", "C: sapwood", "g C m-2 ground"},  // 2
    {"Chw", "C: heartwood", "g C m-2 ground"},  // 3
    {"Cr", "C: root", "g C m-2 ground"},  // 4
    {"Nf", "N: foliar", "g N m-2 ground"},  // 5
    {"Nsw", "N: sapwood", "g N m-2 ground"},  // 6
    {"Nhw", "N: heartwood", "g N m-2 ground"},  // 7
    {"Nr", "N: root", "g N m-2 ground"},  // 8
    {"Clfw", "C: labile foliar & wood", "g C m-2 ground"},  // 9
    {"Clr", "C: labile root", "g C m-2 ground"},  // 10
    {"Nlf", "N: labile foliar", "g N m-2 ground"},  // 11
    {"Nlwr", "N: labile wood & root", "g N m-2 ground"},  // 12
    {"Cs", "C: acid soluble soil", "g C m-2 ground"},  // 13
    {"Ce", "C: extractive soil", "g C m-2 ground"},  // 14
    {"Ci", "C: acid insoluble soil", "g C m-2 ground"},  // 15
    {"Ch", "C: humus soil", "g C m-2 ground"},  // 16
    {"Na", "N: active soil", "g N m-2 ground"},  // 17
    {"Nh", "N: humus soil", "g N m-2 ground"},  // 18
    {"Nnh4", "NH4: total soil", "g N m-2 ground"},  // 19
    {"Nno3", "NO3: total soil", "g N m-2 ground"},  // 20
    {"Wr", "H2O: Root-zone", "mm H2O"},  // 21
    {"Wg", "H2O: Groundwater", "mm H2O"},  // 22
    {"Ws", "H2O: Snowpack", "mm H2O"},  // 23
    {"Laieos", "LAI: End of Grow season", "m2 leaf m-2 grd"},  // 24
    {"Jday", "Julian day", "day"},  // 25
    {"DDa", "degree days, air", "degree C day"},  // 26
    {"DDs", "degree days, soil", "degree C day"},  // 27
    {"qUnT", "N Uptake mean cost", "g C g-1 N"},  // 28
    {"PptT", "Cum. Precipitation", "mm H2O yr-1"},  // 29
    {"PptIT", "Cum. Interception", "mm H2O yr-1"},  // 30
    {"EtT", "Cum. Evapotranspiration", "mm H2O yr-1"},  // 31
    {"QgT", "Cum. Discharge", "mm H2O yr-1"},  // 32
    {"QwT", "Cum. Water Losses", "mm H2O yr-1"},  // 33
    {"DnT", "Cum. N Deposition", "g N m-2 yr-1"},  // 34
    {"PST", "Cum. GPP", "g C m-2 yr-1"},  // 35
    {"NPPT", "Cum. NPP", "g C m-2 yr-1"},  // 36
    {"tauNT", "Cum. translocation", "g N m-2 yr-1"},  // 37
    {"RPT", "Cum. resp. plant", "g C m-2 yr-1"},  // 38
    {"lambdaCfT", "Cum. litter foliar C", "g C m-2 yr-1"},  // 39
    {"lambdaCwT", "Cum. litter wood C", "g C m-2 yr-1"},  // 40
    {"lambdaCrT", "Cum. litter root C", "g C m-2 yr-1"},  // 41
    {"lambdaNfT", "Cum. litter foliar N", "g N m-2 yr-1"},  // 42
    {"lambdaNwT", "Cum. litter wood N", "g N m-2 yr-1"},  // 43
    {"lambdaNrT", "Cum. litter root N", "g N m-2 yr-1"},  // 44
    {"lambdaCT", "Cum. litter C", "g C m-2 yr-1"},  // 45
    {"lambdaNT", "Cum. litter N", "g N m-2 yr-1"},  // 46
    {"RST", "Cum. resp. soil", "g C m-2 yr-1"},  // 47
    {"NepT", "Cum. NEP", "g C m-2 yr-1"},  // 48
    {"UNT", "Cum. N uptake", "g N m-2 yr-1"},  // 49
    {"UnfixT", "Cum. Nfix", "g N m-2 yr-1"},  // 50
    {"NminT", "Cum. Net N min", "g N m-2 yr-1"},  // 51
    {"QNT", "Cum. N leaching", "g N m-2 yr-1"},  // 52
    {"Jdfs", "Jday Fol Sens = 999", "Julian Day"},  // 53
    {"Jdws", "Jday Wood Sens = 999", "Julian Day"},  // 54
    {"Jdrs", "Jday Root Sens = 999", "Julian Day"},  // 55
}};

// Process variables, entries 56..189 of the process table, in entry order.
inline constexpr std::array<CatalogueProcess, OstrelNumModelProcesses> ProcessCatalogue{{
    {"Ta", "Temp: air mean daily", "oC", 0, 4, 0},  // 56
    {"Ts", "Temp: soil mean daily", "oC", 0, 4, 0},  // 57
    {"Hd", "Day length", "hours", 1, 4, 1},  // 58
    {"Pptr", "H2O: Rainfall", "mm H2O day-1", 1, 3, 0},  // 59
    {"Ppts", "H2O: Snowfall", "mm H2O day-1", 0, 3, 0},  // 60
    {"PptI", "H2O: Interception", "mm H2O day-1", 2, 3, 0},  // 61
    {"Aw", "H2O: Available", "fraction", 2, 3, 0},  // 62
    {"PsiD", "H2O: tension deficit", "MPa", 2, 3, 0},  // 63
    {"gsw", "H2O: Canopy conductance", "m H2O sec-1", 0, 3, 0},  // 64
    {"ET", "H2O: Evapotranspiration", "mm H2O day-1", 2, 3, 0},  // 65
    {"Ms", "H2O: Snowmelt", "mm H2O day-1", 3, 3, 1},  // 66
    {"DR", "H2O: soil drainage", "mm H2O day-1", 1, 3, 0},  // 67
    {"Qg", "H2O: grnd discharge", "mm H2O day-1", 1, 3, 0},  // 68
    {"Nnh4aq", "NH4: Aqueous", "umol N L-1 H2O", 4, 3, 0},  // 69
    {"Nno3aq", "NO3: Aqueous", "umol N L-1 H2O", 2, 3, 0},  // 70
    {"Nnh4s", "NH4: sorbed", "g N m-2 ground", 0, 3, 0},  // 71
    {"Nno3s", "NO3: sorbed", "g N m-2 ground", 0, 3, 0},  // 72
    {"QNH4", "NH4: loss in water", "g N m-2 day-1", 0, 3, 0},  // 73
    {"QNO3", "NO3: loss in water", "g N m-2 day-1", 0, 3, 0},  // 74
    {"Cswmax", "C: Sapwood maximum", "g C m-2", 2, 0, 0},  // 75
    {"gsC", "Canopy C conductance", "g C m-2 ppm-1 day-1", 1, 0, 1},  // 76
    {"LAI", "Leaf Area Index", "m2 leaf m-2 ground", 1, 0, 1},  // 77
    {"Ps", "GPP: daily", "g C m-2 day-1", 3, 0, 1},  // 78
    {"deltaPs", "GPP: isotopic signature", "o/oo", 3, 0, 1},  // 79
    {"tauND", "N: Drought Transloc.", "g N m-2 day-1", 0, 0, 0},  // 80
    {"tauN", "N: translocation", "g N m-2 day-1", 1, 0, 0},  // 81
    {"HU", "Uptake: temp response", "unitless", 3, 0, 0},  // 82
    {"UNH4", "NH4: uptake", "g N m-2 day-1", 5, 0, 0},  // 83
    {"UNO3", "NO3: uptake", "g N m-2 day-1", 2, 0, 0},  // 84
    {"qUn", "N Uptake cost - daily", "g C g-1 N", 1, 0, 0},  // 85
    {"Unfix", "N: Fixation", "g N m-2 day-1", 3, 0, 0},  // 86
    {"RUnfix", "Resp: N Fixation", "g C m-2 day-1", 0, 0, 0},  // 87
    {"HR", "Resp: temp response", "unitless", 3, 0, 0},  // 88
    {"RFmet", "Resp: Metabolic foliage", "g C m-2 day-1", 2, 0, 0},  // 89
    {"RWmet", "Resp: Metabolic wood", "g C m-2 day-1", 2, 0, 0},  // 90
    {"RRmet", "Resp: Metabolic root", "g C m-2 day-1", 1, 0, 0},  // 91
    {"RFgr", "Resp: Growth foliage", "g C m-2 day-1", 1, 0, 0},  // 92
    {"RWgr", "Resp: Growth wood", "g C m-2 day-1", 0, 0, 0},  // 93
    {"RRgr", "Resp: Growth root", "g C m-2 day-1", 0, 0, 0},  // 94
    {"fRLF", "Resp: Labile Fol. Frac.", "unitless", 1, 0, 0},  // 95
    {"fRLW", "Resp: Labile Wood Frac.", "unitless", 0, 0, 0},  // 96
    {"fRLR", "Resp: Labile Root Frac.", "unitless", 0, 0, 0},  // 97
    {"RfmetL", "Resp: Labile Foliage", "g C m-2 day-1", 0, 0, 0},  // 98
    {"RrmetL", "Resp: Labile Wood", "g C m-2 day-1", 0, 0, 0},  // 99
    {"RrmetL", "Resp: Labile Root", "g C m-2 day-1", 0, 0, 0},  // 100
    {"RfmetS", "Resp: Struct. Foliage", "g C m-2 day-1", 0, 0, 0},  // 101
    {"RwmetS", "Resp: Struct. Wood", "g C m-2 day-1", 0, 0, 0},  // 102
    {"RrmetS", "Resp: Struct. Root", "g C m-2 day-1", 0, 0, 0},  // 103
    {"tauRnf", "Translocation: Resp Fol", "g N m-2 day-1", 0, 0, 0},  // 104
    {"tauRnsw", "Translocation: Resp wood", "g N m-2 day-1", 0, 0, 0},  // 105
    {"tauRnr", "Translocation: Resp root", "g N m-2 day-1", 0, 0, 0},  // 106
    {"Tc", "Transport: C", "g C m-2 day-1", 2, 1, 0},  // 107
    {"Tn", "Transport: N", "g N m-2 day-1", 2, 1, 0},  // 108
    {"none", "Foliage Phenology", "unitless", 6, 4, 0},  // 109
    {"none", "Wood Phenology", "unitless", 4, 4, 0},  // 110
    {"none", "Root Phenology", "unitless", 4, 4, 0},  // 111
    {"FGrow", "Foliage Growing Season", "unitless", 0, 4, 0},  // 112
    {"WGrow", "Wood Growing Season", "unitless", 0, 4, 0},  // 113
    {"RGrow", "Root Growing Season", "unitless", 0, 4, 0},  // 114
    {"Gcf", "Growth: Foliage C", "g C m-2 day-1", 3, 1, 0},  // 115
    {"Gcsw", "Growth: Sapwood C", "g C m-2 day-1", 3, 1, 0},  // 116
    {"Gchw", "Growth: Heartwood C", "g C m-2 day-1", 1, 1, 0},  // 117
    {"Gcr", "Growth: Root C", "g C m-2 day-1", 3, 1, 0},  // 118
    {"Gnf", "Growth: Foliage N", "g N m-2 day-1", 0, 1, 0},  // 119
    {"Gnsw", "Growth: Sapwood N", "g N m-2 day-1", 0, 1, 0},  // 120
    {"Gnhw", "Growth: Heartwood N", "g N m-2 day-1", 0, 1, 0},  // 121
    {"Gnr", "Growth: Root N", "g N m-2 day-1", 0, 1, 0},  // 122
    {"lambdaCFD", "Drought Litter C: Foliage", "g C m-2 day-1", 4, 0, 0},  // 123
    {"lambdaCRD", "Drought Litter C: Roots", "g C m-2 day-1", 0, 0, 0},  // 124
    {"lambdaNFD", "Drought Litter N: Foliage", "g N m-2 day-1", 0, 0, 0},  // 125
    {"lambdaNRD", "Drought Litter N: Roots", "g N m-2 day-1", 0, 0, 0},  // 126
    {"FFall", "Foliage Litter Season", "unitless", 0, 0, 0},  // 127
    {"WFall", "Wood Litter Season", "unitless", 0, 0, 0},  // 128
    {"RFall", "Root Litter Season", "unitless", 0, 0, 0},  // 129
    {"lambdaCF", "Litter: Foliage C", "g C m-2 day-1", 3, 0, 0},  // 130
    {"lambdaCSW", "Litter: Sapwood C", "g C m-2 day-1", 3, 0, 0},  // 131
    {"lambdaCHW", "Litter: Heartwood C", "g C m-2 day-1", 0, 0, 0},  // 132
    {"lambdaCR", "Litter: Root C", "g C m-2 day-1", 3, 0, 0},  // 133
    {"lambdaNF", "Litter: Foliage N", "g N m-2 day-1", 0, 0, 0},  // 134
    {"lambdaNSW", "Litter: Sapwood N", "g N m-2 day-1", 0, 0, 0},  // 135
    {"lambdaNHW", "Litter: Heartwood N", "g N m-2 day-1", 0, 0, 0},  // 136
    {"lambdaNR", "Litter: Root N", "g N m-2 day-1", 0, 0, 0},  // 137
    {"FClambdaE", "C input to extractives", "g C m-2 day-1", 0, 2, 1},  // 138
    {"FClambdaS", "C input to acid soluble", "g C m-2 day-1", 0, 2, 1},  // 139
    {"FClambdaI", "C input to acid insoluble", "g C m-2 day-1", 0, 2, 1},  // 140
    {"FNlambdaA", "N input to active N", "g N m-2 day-1", 0, 2, 1},  // 141
    {"rSm", "Soil metabolic rate", "unitless", 4, 2, 0},  // 142
    {"FCSE", "Soil C Sol-Extr flux", "g C m-2 day-1", 1, 2, 0},  // 143
    {"FCEI", "Soil C Extr-Insol flux", "g C m-2 day-1", 1, 2, 0},  // 144
    {"FCIE", "Soil C Insol-Extr flux", "g C m-2 day-1", 1, 2, 0},  // 145
    {"FCIH", "Soil C Insol-Humus flux", "g C m-2 day-1", 1, 2, 0},  // 146
    {"RE", "Soil resp active", "g C m-2 day-1", 1, 2, 0},  // 147
    {"RH", "Soil resp humus", "g C m-2 day-1", 1, 2, 0},  // 148
    {"MNA", "N Min: gross active daily", "g N m-2 day-1", 1, 2, 0},  // 149
    {"MNH", "N Min: gross humus daily", "g N m-2 day-1", 0, 2, 0},  // 150
    {"FNAH", "Soil N act-humus flux", "g N m-2 day-1", 1, 2, 0},  // 151
    {"INH4", "NH4: immobilization", "g N m-2 day-1", 2, 2, 0},  // 152
    {"INO3", "NO3: immobilization", "g N m-2 day-1", 2, 2, 0},  // 153
    {"Fntri", "Nitrification", "g N m-2 day-1", 1, 2, 0},  // 154
    {"Cw", "C: Total Wood", "g C m-2 ground", 0, 0, 0},  // 155
    {"Nw", "N: Total Wood", "g N m-2 ground", 0, 0, 0},  // 156
    {"qF", "C:N; Foliage", "g C g-1 N", 0, 0, 0},  // 157
    {"qSW", "C:N; Sapwood", "g C g-1 N", 0, 0, 0},  // 158
    {"qHW", "C:N; Heartwood", "g C g-1 N", 0, 0, 0},  // 159
    {"qW", "C:N; Total wood", "g C g-1 N", 0, 0, 0},  // 160
    {"qR", "C:N; Root", "g C g-1 N", 0, 0, 0},  // 161
    {"qrs", "Root:Shoot ratio", "unitless", 0, 2, 0},  // 162
    {"CPT", "C: total plant", "g C m-2 ground", 0, 0, 0},  // 163
    {"CST", "C: total organic soil", "g C m-2 ground", 0, 2, 0},  // 164
    {"NPT", "N: total plant", "g N m-2 ground", 0, 0, 0},  // 165
    {"NST", "N: total organic soil", "g N m-2 ground", 0, 2, 0},  // 166
    {"qPT", "C:N; total plant", "g C g-1 N", 0, 0, 0},  // 167
    {"qST", "C:N; total soil", "g C g-1 N", 0, 2, 0},  // 168
    {"NIT", "N: total inorganic soil", "g N m-2 ground", 0, 2, 0},  // 169
    {"CET", "C: total ecosystem", "g C m-2 ground", 0, 4, 0},  // 170
    {"NET", "N: total ecosystem", "g N m-2 ground", 0, 4, 0},  // 171
    {"RF", "Resp: Total foliage", "g C m-2 day-1", 0, 0, 0},  // 172
    {"RW", "Resp: Total wood", "g C m-2 day-1", 0, 0, 0},  // 173
    {"RR", "Resp: Total root", "g C m-2 day-1", 0, 0, 0},  // 174
    {"Rp", "Resp: Total plant", "g C m-2 day-1", 0, 0, 0},  // 175
    {"Rs", "Resp: Total soil", "g C m-2 day-1", 0, 0, 0},  // 176
    {"NPPf", "NPP: foliar", "g C m-2 day-1", 0, 0, 0},  // 177
    {"NPPw", "NPP: wood", "g C m-2 day-1", 0, 0, 0},  // 178
    {"NPPr", "NPP: root", "g C m-2 day-1", 0, 0, 0},  // 179
    {"NPP", "NPP: daily", "g C m-2 day-1", 0, 0, 1},  // 180
    {"NEP", "NEP: daily", "g C m-2 day-1", 0, 0, 1},  // 181
    {"lambdaC", "Litter: total C", "g C m-2 day-1", 0, 0, 0},  // 182
    {"lambdaN", "Litter: total N", "g N m-2 day-1", 0, 0, 0},  // 183
    {"Dn", "N: Total Deposition", "g N m-2 day-1", 0, 0, 0},  // 184
    {"Un", "N Uptake, daily", "g N m-2 day-1", 0, 0, 0},  // 185
    {"Mg", "N Min: gross total daily", "g N m-2 day-1", 0, 2, 0},  // 186
    {"Id", "Immobilization, tot daily", "g N m-2 day-1", 0, 2, 0},  // 187
    {"Nmin", "N Min: net total daily", "g N m-2 day-1", 0, 2, 0},  // 188
    {"Qn", "N: loss in water", "g N m-2 day-1", 0, 2, 0},  // 189
}};

// Parameters 1..114, grouped by owning process in entry order.
inline constexpr std::array<CatalogueText, OstrelNumParams> ParamCatalogue{{
    {"Deltad", "latitude", "degrees"},  // 1, owner 58
    {"Tas", "critical Ta for snowfall", "oC"},  // 2, owner 59
    {"bIf", "intercept/LAI", "mmH2O m2 gnd m-2 leaf day-1"},  // 3, owner 61
    {"bIsw", "intercept/sapwood", "mm H2O m2 g-1 C day-1"},  // 4, owner 61
    {"Ww", "soil H2O @ wilting", "mm H2O"},  // 5, owner 62
    {"Wf", "soil H2O @ field cap", "mm H2O"},  // 6, owner 62
    {"Psiw", "tension @ wilting", "MPa"},  // 7, owner 63
    {"Psif", "tension @ field cap", "MPa"},  // 8, owner 63
    {"alphaT", "canopy albedo", "unitless"},  // 9, owner 65
    {"gAW", "boundary H2O cond", "m H2O sec-1"},  // 10, owner 65
    {"rhot", "forest canopy denst", "fraction"},  // 11, owner 66
    {"alphas", "snow albedo", "fraction"},  // 12, owner 66
    {"gammat", "cover corr. factor", "unitless"},  // 13, owner 66
    {"alphaD", "drain rate", "day-1"},  // 14, owner 67
    {"alphaQ", "discharge rate", "day-1"},  // 15, owner 68
    {"rhoS", "soil bulk density", "g m-3"},  // 16, owner 69
    {"z", "soil depth", "m"},  // 17, owner 69
    {"Vnh4max", "max NH4 sorbed", "g N g-1 dry soil"},  // 18, owner 69
    {"etaNH4", "soil affinity NH4", "umol N L-1 H2O"},  // 19, owner 69
    {"Vno3max", "max NO3 sorbed", "g N g-1 dry soil"},  // 20, owner 70
    {"etaNO3", "soil affinity NO3", "umol N L-1 H2O"},  // 21, owner 70
    {"h1", "sap wood coefficient", "empirical relationship"},  // 22, owner 75
    {"h2", "sap wood exponent", "empirical relationship"},  // 23, owner 75
    {"omegaS", "soil hydraulic res", "sec m2 MPa mmol-1"},  // 24, owner 76
    {"mF", "Foliage C Density", "g C m-2 leaf"},  // 25, owner 77
    {"aNf", "leaf N Ps correction", "unitless"},  // 26, owner 78
    {"Clfwmax", "Maximum Clfw", "g C m-2"},  // 27, owner 78
    {"epsilsonPs", "Ps sens to carbohydrate", "unitless"},  // 28, owner 78
    {"deltaCa", "isotopic signature of atm", "o/oo"},  // 29, owner 79
    {"aDelta", "diffusion fractionation", "o/oo"},  // 30, owner 79
    {"bDelta", "net carboxylation fract", "o/oo"},  // 31, owner 79
    {"atau", "translocation fraction", "fraction"},  // 32, owner 81
    {"TUmax", "Uptake max temp", "oC"},  // 33, owner 82
    {"TUopt", "Uptake opt temp", "oC"},  // 34, owner 82
    {"gammaU", "Uptake T curvature", "oC-1"},  // 35, owner 82
    {"UNH4max", "max NH4 uptake", "g N m-2 day-1"},  // 36, owner 83
    {"kNH4", "NH4 1/2 saturat", "umol N L-1 H2O"},  // 37, owner 83
    {"thetaU", "Un Sens. to Nr", "m2 gnd g-1 C"},  // 38, owner 83
    {"Nlwrmax", "Maximum Nlwr", "g N m-2"},  // 39, owner 83
    {"epsilsonUn", "Un sens to labile N", "unitless"},  // 40, owner 83
    {"UNO3max", "max NO3 uptake", "g N m-2 day-1"},  // 41, owner 84
    {"kNO3", "NO3 1/2 saturat", "umol N L-1 H2O"},  // 42, owner 84
    {"gUn", "N uptake cost coeff", "gC g-1 N MJ-1"},  // 43, owner 85
    {"qUnfix", "Cost of N Fixation", "g C g-1 N"},  // 44, owner 86
    {"gNfix", "Nfix constant", "g N g-1 Cr day-1"},  // 45, owner 86
    {"kNfix", "kNfix", "g C g-1 N"},  // 46, owner 86
    {"TRmax", "Resp max temp", "oC"},  // 47, owner 88
    {"TRopt", "Resp opt temp", "oC"},  // 48, owner 88
    {"gammaR", "Resp T curvature", "oC-1"},  // 49, owner 88
    {"rm", "Met resp const", "g C g-1 N day-1"},  // 50, owner 89
    {"qFmin", "Min. Fol. C/N", "g C g-1 N"},  // 51, owner 89
    {"awr", "Wood resp corr factor", "unitless"},  // 52, owner 90
    {"qWmin", "Min. Wood C/N", "g C g-1 N"},  // 53, owner 90
    {"qRmin", "Min. Root C/N", "g C g-1 N"},  // 54, owner 91
    {"rg", "growth resp coeff", "fraction"},  // 55, owner 92
    {"sL", "sharpness of eff of CLj", "m2 g-1 C"},  // 56, owner 95
    {"aLC", "CL transport rate", "m2 gnd m-2 leaf d-1"},  // 57, owner 107
    {"bLC", "CL trans. distrib.", "unitless"},  // 58, owner 107
    {"aLN", "NL transport rate", "m2 gnd m-2 leaf d-1"},  // 59, owner 108
    {"bLN", "NL trans. distrib.", "unitless"},  // 60, owner 108
    {"Jddstart", "Day to begin DD count", "Julian day"},  // 61, owner 109
    {"DDfstart", "Degree day fol start", "oC day"},  // 62, owner 109
    {"DDfstop", "full canopy degree day", "oC day"},  // 63, owner 109
    {"JlambdaStart", "Litter Season Start", "Julian Day"},  // 64, owner 109
    {"TacrF", "Crit Temp for Fol fall", "oC"},  // 65, owner 109
    {"DsensF", "# days for fol senes", "days"},  // 66, owner 109
    {"DDwstart", "Degree day wood start", "oC day"},  // 67, owner 110
    {"DDwstop", "Degree day wood stop", "oC day"},  // 68, owner 110
    {"TacrW", "Crit Temp for Wood fall", "oC"},  // 69, owner 110
    {"DsensW", "# days for wood senes", "days"},  // 70, owner 110
    {"DDrstart", "Degree day root start", "oC day"},  // 71, owner 111
    {"DDrstop", "Degree day root stop", "oC day"},  // 72, owner 111
    {"TacrR", "Crit Temp for Root fall", "oC"},  // 73, owner 111
    {"DsensR", "# days for Root senes", "days"},  // 74, owner 111
    {"gf", "Foliage growth rate", "(g-1 C m2)^epsilonF day-1"},  // 75, owner 115
    {"bGf", "Fol. N growth parameter", "(g C g-1 N)^epsilonF"},  // 76, owner 115
    {"epsilonF", "Fol. growth sensitivity", "unitless"},  // 77, owner 115
    {"gw", "Wood growth rate", "(g-1 C m2)^epsilonW day-1"},  // 78, owner 116
    {"bGw", "Wood N growth parameter", "(g C g-1 N)^epsilonF"},  // 79, owner 116
    {"epsilonW", "Wood growth sensitivity", "unitless"},  // 80, owner 116
    {"aGHW", "Heartwood growth rate", "day-1"},  // 81, owner 117
    {"gr", "Root growth rate", "(g-1 C m2)^epsilonR day-1"},  // 82, owner 118
    {"bGr", "Root N growth parameter", "(g C g-1 N)^epsilonF"},  // 83, owner 118
    {"epsilonR", "Root growth sensitivity", "unitless"},  // 84, owner 118
    {"alambdaCFD", "Drought fol litter rate", "day-1"},  // 85, owner 123
    {"alambdaCRD", "Drought root litter rate", "day-1"},  // 86, owner 123
    {"Awd", "Drought avail H2O", "mm H2O"},  // 87, owner 123
    {"atauD", "Drought N trans rate", "day-1"},  // 88, owner 123
    {"alambdaF", "F litter rate", "(gC m-2)^(1-sigmaLF) dy-1"},  // 89, owner 130
    {"sigmaLambdaF", "F Litter exp", "unitless"},  // 90, owner 130
    {"Cfe", "Evergreen foliage", "g C m-2"},  // 91, owner 130
    {"alambdaW", "W litter rate", "(gC m-2)^(1-sigmaLW) dy-1"},  // 92, owner 131
    {"sigmaLambdaW", "W litter exp", "unitless"},  // 93, owner 131
    {"Cwe", "Evergreen wood", "g C m-2"},  // 94, owner 131
    {"alambdaR", "R litter rate", "(gC m-2)^(1-sigmaLR) dy-1"},  // 95, owner 133
    {"sigmaLambdaR", "R litter exp", "unitless"},  // 96, owner 133
    {"Cre", "Evergreen roots", "g C m-2"},  // 97, owner 133
    {"Q10D", "Q10 for decomp", "unitless"},  // 98, owner 142
    {"sigmaD", "Decomp H2O skewness", "unitless"},  // 99, owner 142
    {"Awdopt", "optimum available water", "unitless"},  // 100, owner 142
    {"Jdb", "Decomp H2O breadth", "unitless"},  // 101, owner 142
    {"aSE", "Fcse rate const", "day-1"},  // 102, owner 143
    {"aEI", "Fcei rate const", "day-1"},  // 103, owner 144
    {"aIE", "Fcie rate const", "day-1"},  // 104, owner 145
    {"aIH", "Fcih rate const", "day-1"},  // 105, owner 146
    {"beta", "resp efficiency", "fraction"},  // 106, owner 147
    {"aH", "Humus resp rate", "day-1"},  // 107, owner 148
    {"aA", "Na mineralization rate", "day-1"},  // 108, owner 149
    {"qI", "opt humus C:N ratio", "g C g-1 N"},  // 109, owner 151
    {"VINH4max", "max NH4 imm rate", "day-1"},  // 110, owner 152
    {"kINH4", "1/2 sat for NH4 imm", "umol N L-1 H2O"},  // 111, owner 152
    {"VINO3max", "max NO3 imm rate", "day-1"},  // 112, owner 153
    {"kINO3", "1/2 sat for NO3 imm", "umol N L-1 H2O"},  // 113, owner 153
    {"aNtri", "nitr. rate", "gN LH2O umol-1N m-2 day-1"},  // 114, owner 154
}};

// Drivers 1..18, in the column order of the driver file.
inline constexpr std::array<CatalogueText, OstrelNumDrivers> DriverCatalogue{{
    {"Ca", "CO2, Atm", "ppm"},  // 1
    {"Tamax", "Temperature Max", "oC"},  // 2
    {"Tamin", "Temperature Min", "oC"},  // 3
    {"Ts", "Avg Soil Temp", "oC"},  // 4
    {"Ppt", "H2O precip", "mm H2O day-1"},  // 5
    {"II", "Incid Shortwave", "MJ m-2 day-1"},  // 6
    {"DNH4", "NH4 deposition", "g N m-2 day-1"},  // 7
    {"DNO3", "NO3 deposition", "g N m-2 day-1"},  // 8
    {"DlambdaCF", "Driver: Fol Litter C", "g C m-2 day-1"},  // 9
    {"DlambdaCSW", "Driver: Sapwood Litter C", "g C m-2 day-1"},  // 10
    {"DlambdaCHW", "Driver: Heartwood Litter C", "g C m-2 day-1"},  // 11
    {"DlambdaCR", "Driver: Root Litter C", "g C m-2 day-1"},  // 12
    {"DlambdaNF", "Driver: Fol Litter N", "g N m-2 day-1"},  // 13
    {"DlambdaNSW", "Driver: Sapwood Litter N", "g N m-2 day-1"},  // 14
    {"DlambdaNHW", "Driver: Heartwood Litter N", "g N m-2 day-1"},  // 15
    {"DlambdaNR", "Driver: Root Litter N", "g N m-2 day-1"},  // 16
    {"DNnh4", "Driver: Soil NH4", "g N m-2 "},  // 17
    {"DNno3", "Driver: Soil NO3", "g N m-2"},  // 18
}};

// Parameters owned by the process entries before entry p, counted from the
// first process entry: the compile-time twin of ParamBase for this catalogue.
constexpr int CatalogueParamBase(int p) {
    int sum = 0;
    for (int i = OstrelNumStates + 1; i < p; ++i) sum += ProcessCatalogue[static_cast<std::size_t>(i - OstrelNumStates - 1)].ParamCount;
    return sum;
}
