// PostScript that talks to the printer's own procedure sets: the job patch, the prolog patch
// with the paper parameter array and the initial load. Every call into DriverOps is looked up
// first, so an interpreter that lacks the set runs straight past it.
#include <cstdio>

#include "job/ps_resources.h"

namespace kelvaro {

const std::string_view kDefaultColorSettingProcSet =
    R"PS(%%BeginResource: procset OKI_Default_Color_Setting 1.1 0
% Colour defaults for a job that brings its own separations: the custom size limits are
% checked by the printer, and its driver procedures start from their initial state.
globaldict /OK@_CustLimitChk true put
/DriverOps /ProcSet 2 copy resourcestatus {
 pop pop findresource
 [/initdriverops /initalwayprnht] {
  2 copy known {1 index exch get exec} {pop} ifelse
 } forall
 pop
} {pop pop} ifelse
%%EndResource)PS";

namespace {

// Before the paper array: the banner and the setpagedevice wrapper.
constexpr std::string_view kPatchStart =
    R"PS(%%BeginResource: procset OKI_Driver_Procedure_Patch_Resource 1.0 0
%% OKI Driver Procedure ver 1.0
%%    Date: May. 09, 2007  Edt: 01
% setpagedevice resets the graphics state and with it stroke adjustment. Wrap it once so
% that the page device's Install procedure turns stroke adjustment back on whenever the
% hairline feature asked for it (globaldict /OK@bstrokeadj).
userdict /OK@setpagedevice known not {
 userdict /OK@setpagedevice /setpagedevice load put
 userdict /setpagedevice {
  dup /Install known not {
   dup length 1 add dict copy
   dup /Install
   currentpagedevice /Install 2 copy known {get} {pop pop {}} ifelse
   [ exch /exec load
     {globaldict /OK@bstrokeadj 2 copy known {get setstrokeadjust} {pop pop} ifelse}
     /exec load ] cvx
   put
  } if
  OK@setpagedevice
 } bind put
} if
% Printers whose driver procedures predate edition 56 lack some paper sizes: give them the
% full table. Each row: size in points, MediaType, LeadingEdge, MediaWeight, Policies7,
% UseMPT, EnvType.
/DriverOps /ProcSet 2 copy resourcestatus {
 pop pop findresource
 dup /editversion known {dup /editversion get} {0} ifelse 56 lt {
  dup wcheck {
   currentglobal exch dup gcheck setglobal
   /paperparamarray [)PS";

// After the paper array.
constexpr std::string_view kPatchEnd = R"PS(   ] put
   setglobal
  } {pop} ifelse
 } {pop} ifelse
} {pop pop (Failed) print flush} ifelse
%%EndResource)PS";

}  // namespace

const std::string_view kInitLoadProcSet = R"PS(%%BeginResource: procset OKI_InitLoad_ProcSet 1.0 0
%% OKI Load Initial DriverOps Proc ver 1.0
%%    Date: Jan. 9, 2004  Edt: 4
% Screens, image smoothing and stroke adjustment start from the printer's defaults.
/DriverOps /ProcSet 2 copy resourcestatus {
 pop pop findresource
 [/initscreenobo /initimagesmooth /initsetstorokeadjust] {
  2 copy known {1 index exch get exec} {pop} ifelse
 } forall
 pop
} {pop pop} ifelse
%%EndResource)PS";

const std::array<PaperParameterRow, 43> kPaperParameterRows = {{
    {"[ [595 842]  null dup dup  true false null ]", "A4"},
    {"[ [612 792]  null dup dup  true false null ]", "Letter"},
    {"[ [612 1008] null 0   null true false null ]", "Legal"},
    {"[ [612 936]  null 0   null true false null ]", "FanFoldGermanLegal"},
    {"[ [729 1032] null 0   null true false null ]", "B4"},
    {"[ [420 595]  null 0   null true false null ]", "A5"},
    {"[ [284 419]  null 0   null true false null ]", "Postcard"},
    {"[ [568 419]  null 2   null true false null ]", "DoublePostcard"},
    {"[ [216 360]  null 0   null true dup   null ]", "OKIndexCard"},
    {"[ [156 255]  null 0   null true dup   null ]", "OKBCardJ"},
    {"[ [145 252]  null 0   null true dup   null ]", "OKBCardUS"},
    {"[ [340 666]  null 3   null true dup   0    ]", "EnvChou3"},
    {"[ [255 581]  null 3   null true dup   null ]", "EnvChou4"},
    {"[ [298 666]  null 3   null true dup   null ]", "EnvYou4"},
    {"[ [612 842]  null 2   null true dup   null ]", "Envelope4"},
    {"[ [680 941]  null 2   null true dup   null ]", "EnvKaku2"},
    {"[ [612 785]  null 3   null true dup   null ]", "EnvKaku3"},
    {"[ [337 558]  null 3   null true dup   null ]", "EnvKaku8"},
    {"[ [340 666]  null 3   null true dup   1    ]", "OKEnvYou0"},
    {"[ [516 729]  null dup dup  true false null ]", "B5"},
    {"[ [297 420]  null 0   null true false null ]", "A6"},
    {"[ [279 540]  null 0   null true dup   null ]", "EnvMonarch"},
    {"[ [312 624]  null 0   null true dup   null ]", "EnvDL"},
    {"[ [459 649]  null 0   null true dup   null ]", "EnvC5"},
    {"[ [297 684]  null 0   null true dup   null ]", "Env10"},
    {"[ [522 756]  null 0   null true false null ]", "Executive"},
    {"[ [842 1191] null 0   null true false null ]", "A3"},
    {"[ [930 1284] null 0   null true false null ]", "A3nobi"},
    {"[ [649 918]  null 0   null true dup   null ]", "EnvC4"},
    {"[ [279 639]  null 0   null true dup   null ]", "Env9"},
    {"[ [612 972]  null 0   null true false null ]", "OKLegal"},
    {"[ [792 1224] null 0   null true false null ]", "Tabloid"},
    {"[ [907 1276] null 0   null true false null ]", "A3wide"},
    {"[ [864 1296] null 0   null true false null ]", "TabloidExtra"},
    {"[ [419 568]  null 0   null true false null ]", "DoublePostcard - OSX"},
    {"[ [666 340]  null 3   null true dup   0    ]", "EnvChou3Rotated"},
    {"[ [581 255]  null 3   null true dup   null ]", "EnvChou4Rotated"},
    {"[ [666 298]  null 3   null true dup   null ]", "EnvYou4Rotated"},
    {"[ [842 612]  null 2   null true dup   null ]", "Envelope4Rotated"},
    {"[ [396 612]  null 0   null true false null ]", "Statement"},
    {"[ [216 360]  null 0   null true dup   null ]", "3 x 5in"},
    {"[ [288 432]  null 0   null true dup   null ]", "4 x 6in"},
    {"[ [360 504]  null 0   null true dup   null ]", "5 x 7in"},
}};

std::string PaperParameterArrayText() {
  std::string text;
  for (std::size_t i = 0; i < kPaperParameterRows.size(); ++i) {
    char index[8];
    std::snprintf(index, sizeof index, "%zu:", i);
    text += "  ";
    text += kPaperParameterRows[i].row;
    text += " % ";
    text += index;
    text += i < 10 ? "  " : " ";
    text += kPaperParameterRows[i].name;
    text += '\n';
  }
  return text;
}

std::string DriverProcedurePatchResource() {
  std::string text(kPatchStart);
  text += '\n';
  text += PaperParameterArrayText();
  text += kPatchEnd;
  return text;
}

}  // namespace kelvaro
