// The fixed lines of the image part of the job: a multi-channel image prolog for separated
// 8-bit data. On a colour device the four ink planes go to DeviceCMYK; a device that images
// one separation at a time gets that plane alone; a grey device gets plane 5. Every band
// reads all five plane rows of each image row, so the data is consumed the same way
// whatever the device prints.
#include "job/ps_resources.h"

namespace kelvaro {

const std::string_view kImagePrologStart = R"PS(gsave %% Print PostScript gsave
/hascolor
 /deviceinfo where
 {pop deviceinfo /Colors known {deviceinfo /Colors get exec 1 gt} {false} ifelse}
 {/statusdict where
  {pop statusdict /processcolors known {statusdict /processcolors get exec 1 gt} {false} ifelse}
  {false} ifelse}
 ifelse
def
40 dict begin
/_image systemdict /image get def
/_setgray systemdict /setgray get def
/_currentgray systemdict /currentgray get def
/_settransfer systemdict /settransfer get def
/_currenttransfer systemdict /currenttransfer get def
% blank: a transfer procedure that puts no toner down, for black or white.
/blank {dup 0 exch exec 1 ge exch 1 exch exec 1 ge and} def
% negative: proc -> {1 exch sub proc}; ink amounts become grey levels of that plate.
/negative {[{1 exch sub} /exec load 4 -1 roll /exec load] cvx} def
% inverted?: the plane is imaged as grey and has to go through a negative transfer.
/inverted? false def
/level2 /languagelevel where {pop languagelevel 2 ge} {false} ifelse def
/level3 /languagelevel where {pop languagelevel 3 ge} {false} ifelse def
% foureq: a b c d -> true when all four are equal.
/foureq {4 array astore dup 0 get exch true exch {2 index eq and} forall exch pop} def
hascolor {/band 0 def} {/band 5 def} ifelse
% A device that separates by itself leaves the transfer of every plate but one blank: print
% that plate's plane only. All four blank: nothing of the image is printed.
/setcmykcolor where {pop
 level2 {currentcolortransfer} {_currenttransfer dup dup dup} ifelse
 4 {blank 4 1 roll} repeat
 4 copy foureq
 {pop pop pop {/band 6 def} if}
 {4 array astore /_blanks exch def
  0 _blanks {not {1 add} if} forall
  1 eq {0 1 3 {_blanks 1 index get {pop} {1 add /band exch def} ifelse} for} if}
 ifelse
} if
% Transfer of the plate a single-plane band prints on; the plane holds ink amounts, so it is
% imaged through the negative of that transfer.
/_plate {} def
band 1 ge band 5 le and {
 level2 band 5 lt and {[currentcolortransfer] band 1 sub get} {_currenttransfer} ifelse
 /_plate exch def
 /inverted? true def
} if
gsave % Image Header gsave)PS";

const std::string_view kImageReadProcedures =
    R"PS(/rawreaddata {currentfile exch readstring pop} def
/padreaddata {
	dup currentfile exch readstring
	{exch pop}
	{length 1 index length 1 index sub _rowpadstr 0 3 -1 roll getinterval
	 2 index 3 1 roll putinterval} ifelse
} def
/image2 level2 {/_image load}
 {{begin band 0 eq
  {Width Height BitsPerComponent ImageMatrix DataSource aload pop true 4 colorimage}
  {Width Height BitsPerComponent ImageMatrix /DataSource load _image} ifelse end}} ifelse def
/_image2 level2 {/_image load}
 {{begin Width Height BitsPerComponent ImageMatrix /DataSource load _image end}} ifelse def
/beginimage {
 band 6 eq {{pop 1} _settransfer _image2} {
  inverted? {/_plate load negative _settransfer} if
  band 0 eq band 5 eq or {image2} {_image2} ifelse
 } ifelse
} def
/readdata /rawreaddata load bind def
12 dict begin
/ImageType 1 def
/Width cols def
/Height rows def
/ImageMatrix [cols 0 0 rows 0 0] def
/BitsPerComponent 8 def
band 0 eq
{/Decode [0 1 0 1 0 1 0 1] def}
{/Decode [0 1] def} ifelse)PS";

const std::string_view kImageDataSources = R"PS(band 0 eq {
/MultipleDataSources true def
/DataSource [
{picstr1 readdata}
{picstr2 readdata}
{picstr3 readdata}
{picstr4 readdata picstr5 readdata pop}
] def} if
band 1 eq {/DataSource {picstr1 readdata picstr2 readdata pop picstr3 readdata pop
 picstr4 readdata pop picstr5 readdata pop} def} if
band 2 eq {/DataSource {picstr1 readdata pop picstr2 readdata picstr3 readdata pop
 picstr4 readdata pop picstr5 readdata pop} def} if
band 3 eq {/DataSource {picstr1 readdata pop picstr2 readdata pop picstr3 readdata
 picstr4 readdata pop picstr5 readdata pop} def} if
band 4 eq {/DataSource {picstr1 readdata pop picstr2 readdata pop picstr3 readdata pop
 picstr4 readdata picstr5 readdata pop} def} if
band 5 ge {/DataSource {picstr1 readdata pop picstr2 readdata pop picstr3 readdata pop
 picstr4 readdata pop picstr5 readdata} def} if
currentdict end
beginimage)PS";

}  // namespace kelvaro
