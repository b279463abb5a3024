# Every image of the skin: archive entry, source template, size in pixels and
# the template's variables. velmora_skin_image() (../CMakeLists.txt) renders
# each one into the build tree. Colours come from Palette.cmake. A new image
# needs a line here, a layout that uses it and a row in the entry table of
# tests/resources/SkinArchiveTest.cpp.

# Title-bar buttons of the main window (24x24) and of the dialogs (30x30).
set(close "M-4.5 -4.5 L4.5 4.5 M4.5 -4.5 L-4.5 4.5")
set(closeSmall "M-4 -4 L4 4 M4 -4 L-4 4")
set(minus "M-5 0 H5")
velmora_skin_image(res/common/minbtn1.png titleButton.svg.in 24 24 RADIUS 12 GLYPH "${minus}" INK ${INK_MUTED} BACK ${SURFACE} BACK_OPACITY 0)
velmora_skin_image(res/common/minbtn2.png titleButton.svg.in 24 24 RADIUS 12 GLYPH "${minus}" INK ${ACCENT} BACK ${ACCENT_TINT_DEEP} BACK_OPACITY 1)
velmora_skin_image(res/common/minbtn3.png titleButton.svg.in 24 24 RADIUS 12 GLYPH "${minus}" INK ${ACCENT_DARK} BACK ${ACCENT_TINT_DEEP} BACK_OPACITY 1)
velmora_skin_image(res/common/closebtn1.png titleButton.svg.in 24 24 RADIUS 12 GLYPH "${close}" INK ${INK_MUTED} BACK ${SURFACE} BACK_OPACITY 0)
velmora_skin_image(res/common/closebtn2.png titleButton.svg.in 24 24 RADIUS 12 GLYPH "${close}" INK ${SURFACE} BACK ${DANGER} BACK_OPACITY 1)
velmora_skin_image(res/common/closebtn3.png titleButton.svg.in 24 24 RADIUS 12 GLYPH "${close}" INK ${SURFACE} BACK ${DANGER_DARK} BACK_OPACITY 1)
velmora_skin_image(res/common/closebtnM_1.png titleButton.svg.in 30 30 RADIUS 11 GLYPH "${closeSmall}" INK ${INK_MUTED} BACK ${SURFACE} BACK_OPACITY 0)
velmora_skin_image(res/common/closebtnM_2.png titleButton.svg.in 30 30 RADIUS 11 GLYPH "${closeSmall}" INK ${SURFACE} BACK ${DANGER} BACK_OPACITY 1)
velmora_skin_image(res/common/closebtnM_3.png titleButton.svg.in 30 30 RADIUS 11 GLYPH "${closeSmall}" INK ${SURFACE} BACK ${DANGER_DARK} BACK_OPACITY 1)

# Backgrounds, one per page of the main window.
set(rings "")
foreach(ring "100 0.07" "150 0.05" "200 0.035")
  separate_arguments(ring)
  list(GET ring 0 r)
  list(GET ring 1 o)
  string(APPEND rings "<circle cx=\"300\" cy=\"150\" r=\"${r}\" fill=\"none\" stroke=\"${ACCENT}\" stroke-opacity=\"${o}\" stroke-width=\"1.5\"/>")
endforeach()
string(APPEND rings "<circle cx=\"178\" cy=\"96\" r=\"4\" fill=\"${ACCENT}\" fill-opacity=\"0.18\"/><circle cx=\"432\" cy=\"214\" r=\"6\" fill=\"${ACCENT_LIGHT}\" fill-opacity=\"0.16\"/><circle cx=\"404\" cy=\"70\" r=\"3\" fill=\"${SUN}\" fill-opacity=\"0.45\"/>")
velmora_skin_image(res/mainWnd/bg1.png background.svg.in 600 400 DECORATION "rings round the logo"
  SPOT_A 0.16 SPOT_A_X 40 SPOT_A_Y 10 SPOT_B 0.14 SPOT_B_X 600 SPOT_B_Y 420 DECORATION_SVG "${rings}")

set(waves "<path d=\"M0 332 C150 300 320 372 600 318 V400 H0 Z\" fill=\"${ACCENT}\" fill-opacity=\"0.05\"/><path d=\"M0 362 C210 334 390 402 600 352 V400 H0 Z\" fill=\"${ACCENT_LIGHT}\" fill-opacity=\"0.07\"/>")
velmora_skin_image(res/mainWnd/bg2.png background.svg.in 600 400 DECORATION "waves along the bottom"
  SPOT_A 0.10 SPOT_A_X 600 SPOT_A_Y 0 SPOT_B 0.06 SPOT_B_X 0 SPOT_B_Y 400 DECORATION_SVG "${waves}")

set(rings "<circle cx=\"300\" cy=\"191\" r=\"128\" fill=\"none\" stroke=\"${ACCENT}\" stroke-opacity=\"0.06\" stroke-width=\"1.5\"/><circle cx=\"300\" cy=\"191\" r=\"172\" fill=\"none\" stroke=\"${ACCENT}\" stroke-opacity=\"0.035\" stroke-width=\"1.5\"/>")
velmora_skin_image(res/mainWnd/bg3.png background.svg.in 600 400 DECORATION "rings round the animation"
  SPOT_A 0.12 SPOT_A_X 300 SPOT_A_Y 190 SPOT_B 0.06 SPOT_B_X 600 SPOT_B_Y 400 DECORATION_SVG "${rings}")

set(confetti "")
foreach(piece
    "214 92 ${ACCENT} 20" "252 64 ${SUN} -30" "350 60 ${MINT} 45" "392 100 ${ROSE} -15"
    "190 150 ${MINT} 60" "412 160 ${ACCENT_LIGHT} 25" "196 232 ${ROSE} -50" "406 238 ${SUN} 70"
    "150 80 ${ACCENT_LIGHT} -10" "452 86 ${ACCENT} 35" "120 190 ${SUN} 15" "482 190 ${MINT} -40")
  separate_arguments(piece)
  list(GET piece 0 x)
  list(GET piece 1 y)
  list(GET piece 2 c)
  list(GET piece 3 a)
  string(APPEND confetti "<rect x=\"-4\" y=\"-2\" width=\"8\" height=\"4\" rx=\"1.5\" fill=\"${c}\" fill-opacity=\"0.55\" transform=\"translate(${x} ${y}) rotate(${a})\"/>")
endforeach()
velmora_skin_image(res/mainWnd/bg4.png background.svg.in 600 400 DECORATION "confetti round the finish mark"
  SPOT_A 0.14 SPOT_A_X 300 SPOT_A_Y 140 SPOT_B 0.08 SPOT_B_X 0 SPOT_B_Y 420 DECORATION_SVG "${confetti}")

# Progress animation: 25 frames, 30 ms apart, looping. Per frame the comet
# turns 360/25 degrees, the 12 inner dots 30/25 degrees (one spacing per loop)
# and the arrow dips along a cosine, so frame 24 leads smoothly into frame 0.
# The comet is 24 arcs that all end at its head, each 10 degrees longer than
# the last; their opacities stack so that the tail fades with the square of
# the distance from the tail end.
set(comet "")
set(arcs 24)
foreach(j RANGE 1 ${arcs})
  math(EXPR length "${j} * 10")
  math(EXPR turn "-90 - ${length}")
  # Opacity (per mille) that lifts the region covered by arcs j..24 from
  # ((24 - j) / 24)^2 to ((25 - j) / 24)^2.
  math(EXPR below "1000 * (${arcs} - ${j}) * (${arcs} - ${j}) / (${arcs} * ${arcs})")
  math(EXPR above "1000 * (${arcs} + 1 - ${j}) * (${arcs} + 1 - ${j}) / (${arcs} * ${arcs})")
  math(EXPR milli "1000 * (${above} - ${below}) / (1000 - ${below})")
  if(milli GREATER_EQUAL 1000)
    set(opacity 1)
  else()
    string(LENGTH "00${milli}" digits)
    math(EXPR cut "${digits} - 3")
    string(SUBSTRING "00${milli}" ${cut} 3 milli)
    set(opacity "0.${milli}")
  endif()
  string(APPEND comet "<circle cx=\"100\" cy=\"100\" r=\"72\" fill=\"none\" stroke=\"${ACCENT}\" stroke-width=\"8\" pathLength=\"360\" stroke-dasharray=\"${length} 360\" stroke-opacity=\"${opacity}\" transform=\"rotate(${turn} 100 100)\"/>")
endforeach()
set(dots "")
foreach(k RANGE 0 11)
  math(EXPR turn "${k} * 30")
  string(APPEND dots "<circle cx=\"100\" cy=\"44\" r=\"2.4\" transform=\"rotate(${turn} 100 100)\"/>")
endforeach()
set(dips 0.00 0.05 0.19 0.41 0.70 1.04 1.41 1.78 2.14 2.46 2.71 2.89 2.99 2.99 2.89 2.71 2.46 2.14 1.78 1.41 1.04 0.70 0.41 0.19 0.05)
foreach(i RANGE 0 24)
  math(EXPR outer "${i} * 144")
  math(EXPR inner "${i} * 12")
  velmora_tenths(outer ${outer})
  velmora_tenths(inner ${inner})
  list(GET dips ${i} dip)
  string(LENGTH "00${i}" digits)
  math(EXPR cut "${digits} - 3")
  string(SUBSTRING "00${i}" ${cut} 3 number)
  velmora_skin_image(res/mainWnd/installBtnAnimate/${number}.png spinner.svg.in 200 200
    FRAME ${number} ANGLE ${outer} INNER_ANGLE -${inner} ARROW_DY ${dip} COMET "${comet}" DOTS "${dots}")
endforeach()

# Start and custom pages.
velmora_skin_image(res/mainWnd/logo.png logo.svg.in 170 120)
velmora_skin_image(res/mainWnd/backBtn1.png backButton.svg.in 64 30 FILL ${ACCENT_TINT} FILL_OPACITY 0 INK ${INK_SOFT})
velmora_skin_image(res/mainWnd/backBtn2.png backButton.svg.in 64 30 FILL ${ACCENT_TINT} FILL_OPACITY 1 INK ${ACCENT})
velmora_skin_image(res/mainWnd/backBtn3.png backButton.svg.in 64 30 FILL ${ACCENT_TINT_DEEP} FILL_OPACITY 1 INK ${ACCENT_DARK})
foreach(name installBtn experienceBtn)
  if(name STREQUAL "installBtn")
    set(arrow 0)
  else()
    set(arrow 0.9)
  endif()
  velmora_skin_image(res/mainWnd/${name}1.png filledButton.svg.in 200 46 FROM ${ACCENT} TO ${ACCENT_LIGHT} SHEEN ${SURFACE} SHEEN_OPACITY 0.16 ARROW_X 172 ARROW_OPACITY ${arrow})
  velmora_skin_image(res/mainWnd/${name}2.png filledButton.svg.in 200 46 FROM ${ACCENT_HOT} TO ${ACCENT_HOT_LIGHT} SHEEN ${SURFACE} SHEEN_OPACITY 0.24 ARROW_X 174 ARROW_OPACITY ${arrow})
  velmora_skin_image(res/mainWnd/${name}3.png filledButton.svg.in 200 46 FROM ${ACCENT_DARK} TO ${ACCENT_DARK_LIGHT} SHEEN ${INK} SHEEN_OPACITY 0.18 ARROW_X 172 ARROW_OPACITY ${arrow})
endforeach()
velmora_skin_image(res/mainWnd/customeBtn1.png chevron.svg.in 16 16 INK ${INK_MUTED})
velmora_skin_image(res/mainWnd/customeBtn2.png chevron.svg.in 16 16 INK ${ACCENT})
velmora_skin_image(res/mainWnd/tipLbl.png tipBubble.svg.in 116 32 FILL ${INK})
velmora_skin_image(res/mainWnd/installDirEdit.png editFrame.svg.in 340 32 FILL ${SURFACE} STROKE ${LINE})
velmora_skin_image(res/mainWnd/chDirBtn1.png outlineButton.svg.in 81 32 FILL ${SURFACE} STROKE ${LINE} INK ${INK_SOFT})
velmora_skin_image(res/mainWnd/chDirBtn2.png outlineButton.svg.in 81 32 FILL ${ACCENT_TINT} STROKE ${ACCENT} INK ${ACCENT})
velmora_skin_image(res/mainWnd/chDirBtn3.png outlineButton.svg.in 81 32 FILL ${ACCENT_TINT_DEEP} STROKE ${ACCENT_DARK} INK ${ACCENT_DARK})
velmora_skin_image(res/mainWnd/Cb1.png checkMark.svg.in 16 16 FILL ${SURFACE} STROKE ${LINE} TICK_OPACITY 0)
velmora_skin_image(res/mainWnd/Cb2.png checkMark.svg.in 16 16 FILL ${ACCENT} STROKE ${ACCENT} TICK_OPACITY 1)

# Progress and finish pages.
velmora_skin_image(res/mainWnd/installPrg1.png bar.svg.in 520 8 FROM ${TRACK} TO ${TRACK})
velmora_skin_image(res/mainWnd/installPrg2.png bar.svg.in 520 8 FROM ${ACCENT} TO ${ACCENT_LIGHT})
velmora_skin_image(res/mainWnd/finished.png finished.svg.in 80 80)

# Dialog icons.
velmora_skin_image(res/MessageBoxWnd/icoQuest.png dialogIcon.svg.in 40 40 TINT ${ACCENT_TINT_DEEP} COLOR ${ACCENT}
  GLYPH "M15.8 16.4 A4.4 4.4 0 1 1 22.2 20.3 C20.9 21.1 20 21.9 20 23.6" DOT_Y 28.4)
velmora_skin_image(res/MessageBoxWnd/icoWarn.png dialogIcon.svg.in 40 40 TINT ${WARN_TINT} COLOR ${WARN}
  GLYPH "M20 12.6 V22.4" DOT_Y 27.6)
velmora_skin_image(res/MessageBoxWnd/icoNetwork.png dialogIcon.svg.in 40 40 TINT ${DANGER_TINT} COLOR ${DANGER}
  GLYPH "M12.9 19.9 A10 10 0 0 1 27.1 19.9 M16.1 23.1 A5.5 5.5 0 0 1 23.9 23.1" DOT_Y 26.9)
