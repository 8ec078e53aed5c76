// The page-description prolog of the job: error page, memory check, feature brackets, page
// utilities and the compatibility layer for the embedded image document. Written for any
// PostScript Level 2 or 3 interpreter; nothing here depends on the printer model.
#include "job/ps_resources.h"

namespace kelvaro {

const std::string_view kErrorHandlerResource =
    R"PS(%%BeginResource: file Pscript_WinNT_ErrorHandler 5.0 0
% A job that fails prints one page naming the error and the command that raised it, and
% reports both on the back channel, so that the user learns why the print did not come out.
userdict begin
/eh@text {dup type /stringtype ne {128 string cvs} if} bind def
/eh@page {
 $error begin
 (%%[ Error: ) print /errorname load eh@text print
 (; OffendingCommand: ) print /command load eh@text print ( ]%%) = flush
 initgraphics 0 setgray
 /Courier findfont 10 scalefont setfont
 72 720 moveto (ERROR: ) show /errorname load eh@text show
 72 706 moveto (OFFENDING COMMAND: ) show /command load eh@text show
 end
 showpage
} bind def
end
errordict dup wcheck {
 /handleerror {
  $error /newerror get {$error /newerror false put userdict /eh@page get exec} if
 } put
} {pop} ifelse
%%EndResource)PS";

const std::string_view kFatalErrorResource = R"PS(%%BeginResource: file Pscript_FatalError 5.0 0
% A job the printer has too little memory for would fail half way. Say so on a page of its
% own and throw the rest of the job away. "n VM?" asks for n bytes of free memory.
/PrtVMMsg {
 (%%[ PrinterError: not enough memory for this job ]%%) = flush
 initgraphics 0 setgray
 /Helvetica findfont 12 scalefont setfont
 72 720 moveto (This job needs more printer memory than is free.) show
 72 704 moveto (Add memory to the printer, or print fewer or smaller copies.) show
 showpage
 currentfile flushfile
} bind def
/VM? {vmstatus exch sub exch pop gt {PrtVMMsg} if} bind def
%%EndResource)PS";

const std::string_view kWinBasicResource = R"PS(%%BeginResource: file Pscript_Win_Basic 5.0 0
/d {def} bind def
% featurebegin{ ... }featurecleanup brackets one printer feature. A feature the printer
% refuses must not end the job: its procedure runs under stopped, whatever it left on the
% operand stack is dropped and any dictionary it opened is closed. The tag lucas sits below
% the feature's mark, so a feature that ate into the stack is reported.
/lucas 21690 d
/featurebegin {countdictstack lucas [} bind d
/featurecleanup {
 stopped {/$error where {pop $error /newerror false put} if} if
 cleartomark
 lucas ne {(%%[ Warning: a printer feature upset the operand stack ]%%) = flush} if
 countdictstack exch sub dup 0 gt {{end} repeat} {pop} ifelse
} bind d
%%EndResource)PS";

const std::string_view kWinUtilsResource = R"PS(%%BeginResource: file Pscript_Win_Utils_L2 5.0 0
% The page is drawn in device pixels of 600 dpi: "72 600 V" is one pixel in points.
/V {div} bind d
% End of page.
/LH {showpage} bind d
% The page's colour space again, after an embedded document changed it.
/colspRefresh {colspABC setcolorspace} bind d
% The job's procedures stay on the dictionary stack from initialize to terminate. Operands of
% initialize: the driver's page matrix, a landscape flag (unused here), this dictionary.
/initialize {begin pop concat} bind d
/reinitialize {/colspABC where {pop colspRefresh} if} bind d
% suspend and resume take the procedures off the stack around an embedded document, so its
% names cannot collide with ours. Both take this dictionary as operand.
/suspend {currentdict eq {end} if} bind d
/resume {begin} bind d
/terminate {currentdict eq {end} if} bind d
%%EndResource)PS";

const std::string_view kCompatResource = R"PS(%%BeginResource: file Pscript_WinNT_Compat 5.0 0
% An embedded document runs inside its own save level with showpage switched off: it can
% neither end the page early nor leave definitions behind. $x holds the page set-up matrix.
userdict /Pscript_WinNT_Compat 19 dict dup begin
/$x matrix def
/$s null def
% Windows code page 1252, for documents that show text in their own fonts.
/ANSIVec /ISOLatin1Encoding where {pop ISOLatin1Encoding} {StandardEncoding} ifelse
 dup length array copy def
/$ansi [
 16#27 /quotesingle 16#2D /hyphen 16#60 /grave 16#80 /Euro 16#81 /.notdef
 16#82 /quotesinglbase 16#83 /florin 16#84 /quotedblbase 16#85 /ellipsis 16#86 /dagger
 16#87 /daggerdbl 16#88 /circumflex 16#89 /perthousand 16#8A /Scaron 16#8B /guilsinglleft
 16#8C /OE 16#8D /.notdef 16#8E /Zcaron 16#8F /.notdef 16#90 /.notdef 16#91 /quoteleft
 16#92 /quoteright 16#93 /quotedblleft 16#94 /quotedblright 16#95 /bullet 16#96 /endash
 16#97 /emdash 16#98 /tilde 16#99 /trademark 16#9A /scaron 16#9B /guilsinglright
 16#9C /oe 16#9D /.notdef 16#9E /zcaron 16#9F /Ydieresis
] def
0 2 $ansi length 1 sub {ANSIVec exch $ansi 1 index get exch $ansi exch 1 add get put} for
% /NewName /FontName reencode: the font with the code page 1252 encoding.
/reencode {
 findfont dup length dict begin
 {1 index /FID ne {def} {pop pop} ifelse} forall
 /Encoding ANSIVec def
 currentdict end definefont pop
} bind def
/initialize {begin /$s save def /showpage {} def} bind def
/suspend {
 dup currentdict eq {end /$s get dup type /savetype eq {restore} {pop} ifelse} {pop} ifelse
} bind def
end put
%%EndResource)PS";

void AppendPostScript(std::string& out, std::string_view text) {
  out.reserve(out.size() + text.size() + text.size() / 32 + 2);
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  out += "\r\n";
}

}  // namespace kelvaro
