#!/usr/bin/env bash
# Draws the program's pictures with ImageMagick: the icon, the button glyphs,
# the tree images, the tab strip of the inner page control and the background of
# the system page.
# Usage: make_pictures.sh OUTDIR LANGUAGE_INDEX   (0 zh-CN, 1 zh-TW, 2 en)
# Nothing binary is kept in the repository; the build runs this.
set -euo pipefail

if [ $# -ne 2 ]; then
  echo "usage: $0 OUTDIR LANGUAGE_INDEX" >&2
  exit 2
fi
OUT=$1
LANG_INDEX=$2
FONT=${ZD_PICTURE_FONT:-/usr/share/fonts/truetype/wqy/wqy-microhei.ttc}
command -v convert >/dev/null || {
  echo "make_pictures: ImageMagick's convert is missing" >&2
  exit 1
}
[ -f "$FONT" ] || {
  echo "make_pictures: font $FONT is missing (fonts-wqy-microhei)" >&2
  exit 1
}
mkdir -p "$OUT"
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT

# The window and panel colour of the main window.
BG='#F5FAFE'
BLUE='#1F5FAF'

# ---- icon ------------------------------------------------------------------
# A bold "Z" above a small dock bar on a light rounded square.
convert -size 256x256 xc:none \
  -fill '#EAF3FD' -stroke '#2F6FBF' -strokewidth 10 -draw "roundrectangle 9,9 246,246 44,44" \
  -stroke none -fill "$BLUE" \
  -draw "polygon 58,44 198,44 198,80 112,166 198,166 198,200 58,200 58,166 144,80 58,80" \
  -fill '#3C8DE0' -draw "roundrectangle 50,214 206,232 9,9" \
  -fill '#FFFFFF' -draw "circle 92,223 92,228" -draw "circle 128,223 128,228" \
  -draw "circle 164,223 164,228" \
  -depth 8 "$TMP/icon256.png"
convert "$TMP/icon256.png" -define icon:auto-resize=256,48,32,24,16 "$OUT/zapdock.ico"

# ---- button glyphs -------------------------------------------------------------
# Drawn at 64x64 and scaled down, which gives smooth edges against the flat
# background. BMP3 with no alpha: what LoadImage and CreateDIBSection expect.
glyph() { # name, then ImageMagick drawing options for the 64x64 canvas
  local name=$1
  shift
  convert -size 64x64 "xc:$BG" "$@" -resize 16x16 -alpha off -type TrueColor "BMP3:$OUT/$name.bmp"
}

glyph BtnZDStart -fill '#2E9E3E' -stroke '#1D6B29' -strokewidth 3 \
  -draw "polygon 18,8 56,32 18,56"
glyph BtnZDPCStart -fill none -stroke "$BLUE" -strokewidth 8 \
  -draw "arc 10,12 54,56 -50,230" -draw "line 32,4 32,30"
glyph BtnZDSearch -fill '#DDEEFF' -stroke '#2A4E7A' -strokewidth 7 -draw "circle 26,26 26,8" \
  -strokewidth 11 -draw "line 40,40 56,56"
glyph BtnZDAddToFav -fill '#F4B400' -stroke '#B07800' -strokewidth 3 \
  -draw "polygon 28,4 35,21 53,22 39,34 44,52 28,42 12,52 17,34 3,22 21,21" \
  -stroke none -fill '#2E9E3E' -draw "rectangle 44,34 52,62" -draw "rectangle 34,44 62,52"
glyph BtnZDUpdateFav -stroke '#7A4A10' -strokewidth 3 -fill '#F2A33A' \
  -draw "polygon 14,42 44,12 54,22 24,52" -fill '#F6D7A8' -draw "polygon 14,42 24,52 8,58" \
  -fill '#E8707A' -draw "polygon 44,12 50,6 60,16 54,22"
glyph BtnZDDeleteAllDocs -fill '#C9D4E0' -stroke '#4A5A6C' -strokewidth 4 \
  -draw "polygon 14,18 50,18 46,60 18,60" -draw "line 8,12 56,12" -draw "line 24,6 40,6" \
  -stroke '#D03030' -strokewidth 7 -draw "line 22,28 42,50" -draw "line 42,28 22,50"
glyph BtnHelp -fill "$BLUE" -draw "circle 32,32 32,2" \
  -fill white -font "$FONT" -pointsize 50 -gravity center -annotate +0+2 '?'
glyph BtnAbout -fill "$BLUE" -draw "circle 32,32 32,2" \
  -fill white -draw "circle 32,15 32,20" -draw "roundrectangle 27,26 37,54 3,3"
# The vendor panel's exit button and the advert bar's two buttons.
glyph BtnExit -fill none -stroke '#C03030' -strokewidth 8 \
  -draw "arc 10,12 54,56 -50,230" -draw "line 32,4 32,30"
glyph btnNewWin -fill white -stroke "$BLUE" -strokewidth 5 -draw "rectangle 6,14 46,54" \
  -fill "$BLUE" -draw "rectangle 6,14 46,22" -stroke '#2E9E3E' -strokewidth 7 \
  -draw "line 30,34 56,8" -draw "line 40,8 56,8" -draw "line 56,8 56,24"
glyph btnCloseAvert -fill '#E8EEF4' -stroke '#6A7A8C' -strokewidth 4 -draw "circle 32,32 32,4" \
  -stroke '#C03030' -strokewidth 8 -draw "line 20,20 44,44" -draw "line 44,20 20,44"

# The startup programs window: try out, add, delete, clear, close.
glyph BtnZDPCRun -fill '#2E9E3E' -stroke '#1D6B29' -strokewidth 3 -draw "polygon 18,8 56,32 18,56" \
  -fill white -stroke none -draw "polygon 26,22 42,32 26,42"
glyph BtnZDAddPCStart -fill '#2E9E3E' -draw "roundrectangle 26,6 38,58 4,4" \
  -draw "roundrectangle 6,26 58,38 4,4"
glyph BtnZDDeletePCStart -stroke '#D03030' -strokewidth 11 -draw "line 12,12 52,52" \
  -draw "line 52,12 12,52"
glyph BtnZDClearPCStart -fill white -stroke '#4A5A6C' -strokewidth 4 \
  -draw "polygon 12,6 42,6 54,18 54,58 12,58" -draw "line 20,28 46,28" -draw "line 20,40 46,40"
glyph BtnClose -fill '#7A8A9A' -draw "circle 32,32 32,4" -stroke white -strokewidth 7 \
  -draw "line 21,21 43,43" -draw "line 43,21 21,43"

# ---- tree images ---------------------------------------------------------------
# One strip of 11 images of 16x16 for the document trees' shared image list, in
# index order: 0 folder, 1 text sheet (a program whose file is gone), 2 globe,
# 3 star, 4 clock, 5 network, 6 computer, 7 gear, 8 documents, 9 desktop,
# 10 program window. The background colour is the list's mask colour.
tree_image() { # index, then ImageMagick drawing options for the 64x64 canvas
  local index=$1
  shift
  # Box: each pixel the mean of its 4x4 block, so untouched blocks keep the
  # exact background colour that the list turns transparent.
  convert -size 64x64 "xc:$BG" "$@" -filter Box -resize 16x16 -alpha off \
    "$TMP/tree$(printf %02d "$index").png"
}
FOLDER_BACK=(-fill '#E0A820' -stroke '#9A6A10' -strokewidth 3
             -draw "polygon 4,12 24,12 30,18 60,18 60,56 4,56")
FOLDER_FRONT=(-fill '#F8CC48' -stroke '#9A6A10' -strokewidth 3 -draw "polygon 4,26 60,26 60,56 4,56")
# Teeth of a gear: 8 of them around a ring (outer radius 29, inner 21).
GEAR=$(awk 'BEGIN { pi = atan2(0, -1); s = "";
  for (i = 0; i < 8; i++) { a = i * pi / 4;
    split("-0.30 -0.18 0.18 0.30", d, " "); split("21 29 29 21", r, " ");
    for (k = 1; k <= 4; k++) s = s sprintf("%.1f,%.1f ", 32 + r[k] * cos(a + d[k]), 32 + r[k] * sin(a + d[k])) }
  print s }')

tree_image 0 "${FOLDER_BACK[@]}" "${FOLDER_FRONT[@]}"
tree_image 1 -fill white -stroke '#5A6A7C' -strokewidth 3 -draw "polygon 12,4 40,4 52,16 52,60 12,60" \
  -fill '#D8E0EA' -draw "polygon 40,4 40,16 52,16" \
  -stroke '#7A8A9C' -strokewidth 3 -draw "line 19,26 45,26" -draw "line 19,35 45,35" \
  -draw "line 19,44 45,44" -draw "line 19,52 36,52"
tree_image 2 -fill '#4A9AE8' -stroke '#1F5FAF' -strokewidth 4 -draw "circle 32,32 32,4" \
  -fill none -stroke '#DDEEFF' -strokewidth 3 -draw "ellipse 32,32 12,27 0,360" \
  -draw "line 32,5 32,59" -draw "line 5,32 59,32" -draw "line 10,18 54,18" -draw "line 10,46 54,46"
tree_image 3 -fill '#F4B400' -stroke '#B07800' -strokewidth 3 \
  -draw "polygon 32,3 40,23 61,24 45,37 50,58 32,46 14,58 19,37 3,24 24,23"
tree_image 4 -fill white -stroke "$BLUE" -strokewidth 6 -draw "circle 32,32 32,5" \
  -stroke '#1A2A40' -strokewidth 5 -draw "line 32,32 32,14" -draw "line 32,32 45,38" \
  -stroke none -fill '#D03030' -draw "circle 32,32 32,36"
tree_image 5 -fill '#4A9AE8' -stroke '#2A4E7A' -strokewidth 3 \
  -draw "rectangle 4,6 28,24" -draw "rectangle 36,6 60,24" -draw "rectangle 20,36 44,54" \
  -stroke '#2A4E7A' -strokewidth 4 -draw "line 16,25 16,30" -draw "line 48,25 48,30" \
  -draw "line 16,30 48,30" -draw "line 32,30 32,36" -draw "line 12,60 52,60"
tree_image 6 -fill '#E8EEF4' -stroke '#4A5A6C' -strokewidth 3 -draw "roundrectangle 4,6 60,44 4,4" \
  -fill '#3C8DE0' -stroke none -draw "rectangle 10,12 54,38" \
  -fill '#8A9AAC' -draw "polygon 26,45 38,45 42,54 22,54" -draw "roundrectangle 14,54 50,60 3,3"
tree_image 7 -fill '#8A9AAC' -stroke '#4A5A6C' -strokewidth 3 -draw "polygon $GEAR" \
  -draw "circle 32,32 32,10" -fill "$BG" -draw "circle 32,32 32,23"
tree_image 8 "${FOLDER_BACK[@]}" -fill white -stroke '#5A6A7C' -strokewidth 2 \
  -draw "rectangle 14,6 50,40" -stroke '#7A8A9C' -draw "line 20,14 44,14" -draw "line 20,21 44,21" \
  "${FOLDER_FRONT[@]}"
tree_image 9 -fill '#2E7EC8' -stroke '#1F4F8F' -strokewidth 3 -draw "rectangle 5,7 59,57" \
  -fill '#1A2A40' -stroke none -draw "rectangle 6,48 58,56" -fill '#2E9E3E' -draw "rectangle 6,51 14,55" \
  -fill '#F8CC48' -draw "rectangle 10,12 22,22" -fill white -draw "rectangle 10,28 22,38"
tree_image 10 -fill white -stroke '#4A5A6C' -strokewidth 3 -draw "rectangle 4,8 60,56" \
  -fill "$BLUE" -stroke none -draw "rectangle 5,9 59,20" \
  -fill white -draw "rectangle 50,12 56,17" -fill '#C9D4E0' -draw "rectangle 10,26 30,50"
convert "$TMP"/tree*.png +append -alpha off -type TrueColor "BMP3:$OUT/TreeImages.bmp"

# ---- tab strip of the inner page control -----------------------------------------
# 8 visible tabs of 84 x 26 each; the top band is the normal look, the bottom
# band the selected look of the same strip.
case $LANG_INDEX in
  1) CAPTIONS=("網頁" "軟體啟" "資料夾" "檔案" "系統" "收藏" "常用" "設定") ;;
  2) CAPTIONS=("Web" "Programs" "Folders" "Files" "System" "Favorites" "Common" "Settings") ;;
  *) CAPTIONS=("网页" "软件启" "文件夹" "文件" "系统" "收藏" "常用" "设置") ;;
esac
TAB_W=84
TAB_H=26

tab() { # caption, selected (0/1), output
  local caption=$1 selected=$2 out=$3
  local top bottom border text underline
  if [ "$selected" = 1 ]; then
    top='#FFFFFF' bottom="$BG" border='#3D7CC9' text='#0A3A78'
  else
    top='#FBFDFF' bottom='#D9E7F6' border='#93B4D9' text='#1A2A40'
  fi
  # The shape runs below the band so that only its rounded top shows; the
  # selected tab stays open at the bottom and joins the page under it.
  local shape="roundrectangle 1,1 $((TAB_W - 2)),$((TAB_H + 6)) 5,5"
  convert -size ${TAB_W}x${TAB_H} "xc:$BG" \
    \( -size ${TAB_W}x${TAB_H} "gradient:$top-$bottom" \) \
    \( -size ${TAB_W}x${TAB_H} xc:black -fill white -draw "$shape" \) -composite \
    -fill none -stroke "$border" -strokewidth 1 -draw "$shape" \
    "$TMP/shape.png"
  underline=()
  if [ "$selected" = 1 ]; then
    # A warm accent along the top edge marks the selected tab.
    underline=(-stroke none -fill '#F0A030' -draw "roundrectangle 3,1 $((TAB_W - 4)),3 2,2")
  else
    underline=(-stroke "$border" -draw "line 0,$((TAB_H - 1)) $((TAB_W - 1)),$((TAB_H - 1))")
  fi
  convert "$TMP/shape.png" "${underline[@]}" \
    -stroke none -fill "$text" -font "$FONT" -pointsize 13 -gravity center \
    -annotate +0+2 "$caption" "$out"
}

normal=()
selected=()
for i in "${!CAPTIONS[@]}"; do
  tab "${CAPTIONS[$i]}" 0 "$TMP/tab$i-0.png"
  tab "${CAPTIONS[$i]}" 1 "$TMP/tab$i-1.png"
  normal+=("$TMP/tab$i-0.png")
  selected+=("$TMP/tab$i-1.png")
done
convert \( "${normal[@]}" +append \) \( "${selected[@]}" +append \) -append \
  -quality 95 -sampling-factor 1x1 "$OUT/monitorbtn.jpg"

# ---- the system page ---------------------------------------------------------------
# The picture carries the page's icons and labels; flat buttons without captions
# lie over each labelled spot (left, top, width, height as the window places them).
case $LANG_INDEX in
  1) SPOTS=("我的電腦" "我的文件" "我的桌面" "資源回收筒" "控制台" "歷史記錄" "我的最愛" "網路上的芳鄰"
            "工作管理員" "開始功能表" "程式集" "桌面路徑" "啟動" "系統資料夾" "更多...") ;;
  2) SPOTS=("Computer" "Documents" "Desktop" "Recycle Bin" "Control Panel" "History" "Favorites"
            "Network" "Task Manager" "Start Menu" "Programs" "Desktop folder" "Startup"
            "System folder" "More...") ;;
  *) SPOTS=("我的电脑" "我的文档" "我的桌面" "垃圾回收站" "控制面板" "历史记录" "收藏夹" "网上邻居"
            "任务管理器" "开始菜单" "程序" "桌面路径" "启动" "系统文件夹" "更多...") ;;
esac
RECTS=("8 14 98 25" "107 15 101 23" "210 14 87 23" "299 14 105 24" "7 44 98 24" "106 44 94 24"
       "207 45 97 24" "305 45 104 24" "7 74 96 25" "107 75 91 24" "204 75 96 23" "302 75 108 24"
       "9 106 90 22" "96 107 112 22" "216 106 77 23")
COLORS=('#3C7DD9' '#E0A020' '#2E9E9E' '#7A8A9A' '#8A5CC8' '#C8742E' '#E0B000' '#2E8E4E'
        '#D04A4A' '#3C7DD9' '#5A6FD0' '#2E9E9E' '#2E9E3E' '#6A7A8C' '#9AAABB')
POINTS=12
[ "$LANG_INDEX" = 2 ] && POINTS=10
draw=()
for i in "${!SPOTS[@]}"; do
  read -r x y w h <<<"${RECTS[$i]}"
  icon_y=$((y + (h - 14) / 2))
  draw+=(-stroke '#C8D9EE' -strokewidth 1 -fill '#FAFCFF'
         -draw "roundrectangle $x,$y $((x + w - 2)),$((y + h - 2)) 4,4"
         -stroke none -fill "${COLORS[$i]}"
         -draw "roundrectangle $((x + 4)),$icon_y $((x + 17)),$((icon_y + 13)) 3,3"
         -fill '#1A2A40' -font "$FONT" -pointsize "$POINTS" -gravity NorthWest
         -annotate "+$((x + 22))+$((y + (h - POINTS - 4) / 2))" "${SPOTS[$i]}")
done
# A faint monitor on the right, clear of the labelled spots on the left.
convert -size 760x470 "gradient:$BG-#DCEAF8" \
  -fill '#E6F0FB' -draw "circle 630,220 630,40" -fill '#E1ECF9' -draw "circle 630,220 630,90" \
  -fill '#EEF5FD' -stroke '#C2D6EE' -strokewidth 6 -draw "roundrectangle 530,120 730,280 14,14" \
  -fill '#E2EDFA' -stroke none -draw "rectangle 548,138 712,262" \
  -fill '#F4F8FE' -draw "polygon 548,138 640,138 560,262 548,262" \
  -fill '#C9DBF0' -draw "polygon 610,280 650,280 660,330 600,330" \
  -draw "roundrectangle 560,326 700,340 7,7" \
  "${draw[@]}" \
  -quality 92 "$OUT/ImgZDPCControl.jpg"

echo "make_pictures: pictures written to $OUT"
