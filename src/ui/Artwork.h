#pragma once
// Every picture the program's windows show, drawn at run time from our own
// vector descriptions in one flat style on the dark window colours. A
// picture is a TBitmap32 with straight alpha: alpha 0 where the control's
// background shows through, so blend it over the (opaque) back buffer.
//
// Names and sizes (w x h in pixels). "<states>" is normal, hover, down
// (pressed); "+disabled" adds disabled; a latching button also has the
// second set normal2, hover2, down2 (and disabled2) for its Down state.
//
//   tool.<t>.<states>+disabled and 2   38 x 38  tools panel, t = arrow, pen,
//                                      rect, line, marker, fillrect, text,
//                                      stamp, blur (latching)
//   tool.undo, tool.redo .<states>+disabled   38 x 38
//   tool.width.<states>                38 x 38
//   tool.color.<states>                48 x 38  opaque window colour with a
//                                      transparent swatch hole: the
//                                      button's colour background shows there
//   font.<s>.<states> and 2            38 x 38  font panel, s = bold, italic,
//                                      underline, strike (latching)
//   action.copy, action.save, action.close .<states>   38 x 38  actions panel
//   action.upload.<states>             38 x 33  opaque blue, white cloud
//   close.<n>.<states>                 n x n    close crosses: 14 (settings,
//                                      folder chooser, new version, welcome,
//                                      about), 15 (progress), 20
//                                      (notification), 32 (offer), 38 (survey)
//   info.35, info.40                   light-blue i in a ring (notification,
//                                      new version window)
//   check.<off|on>.<states>            20 x 21  check box, off = normal set,
//                                      on = second set
//   radio.<off|on>.<states>            20 x 21  radio button
//   tab.<main|hot|save>.<states> and 2 120 x 107 (save: 120 x 108), opaque;
//                                      the icon sits above the centre, the
//                                      two caption lines go below it
//   combo.arrow.<states>               27 x 27  drop-down arrow (fits the
//                                      square button of 31- and 33-high lists)
//   slider.thumb 16 x 16, slider.thin 6 x 7, slider.thick 10 x 11
//   sep.tools 10 x 38, sep.actions 22 x 2, sep.settings 460 x 2
//   reset.<normal|hover>               16 x 16
//   star.<empty|filled>.<states>       40 x 40  survey stars
//   button.primary.<w>x<h>.<states>    filled accent: 142x38
//   button.secondary.<w>x<h>.<states>  outlined: 142x38, 89x33
//   button.capture.200x42.<states>     primary with a capture mark on the left
//                                      (caption shifted right)
//   button.more.246x54.<states>        primary with an arrow on the right
//                                      (caption shifted left)
//   balloon.font 190 x 95, balloon.width 125 x 38   opaque outline pictures:
//                                      pixels other than ArtBalloonKey form
//                                      the window; the pointer is at the top
//                                      (flip vertically to open above)
//   bg.welcome 576 x 371, bg.about 576 x 371, bg.offer 789 x 480   opaque
//                                      window backgrounds without text;
//                                      welcome: a capture scene at x 163..383,
//                                      y 36..166; welcome and about: a darker
//                                      footer band, the last 64 rows; offer:
//                                      a recording monitor at x 470..740,
//                                      y 120..322, the left part left free
//   logo.<n>                           n = 16, 32, 48, 64, 74
//   link.site                          107 x 23  mark and name, for the links
#include "gfx/Bitmap32.h"

#include <string>
#include <string_view>
#include <vector>

// The key colour of the balloon outlines (their top-left pixel).
constexpr TColor32 ArtBalloonKey = 0xFF000000;

// All picture names, sorted.
std::vector<std::string> ArtNames();

// The named picture, drawn on first use and cached for the process (GUI
// thread only). Throws std::out_of_range for an unknown name.
const TBitmap32& ArtPicture(std::string_view name);
