#!/usr/bin/env bash
# Writes a small sample history into a configuration folder (its first
# argument, e.g. D:\MrxConfig\ of a private Wine prefix): a few pages of two
# hosts, two of Wine's own programs and two folders, and two favourites. The
# run command starts the program on it for the README's picture, so that the
# picture shows what a user sees after some days, and nobody's own history.
set -euo pipefail
dir=${1:?usage: sample_history.sh CONFIG-FOLDER}
mkdir -p "$dir"

bom=$'\xEF\xBB\xBF'
records=(
  # kind|address|name|date
  "1|http://www.example.com/|示例网站首页|2026-03-02"
  "1|http://www.example.com/news/today.html|今日新闻|2026-03-02"
  "1|http://www.example.com/news/weather.html|天气预报|2026-03-03"
  "1|http://docs.example.org/manual/index.html|用户手册|2026-03-04"
  "1|http://docs.example.org/manual/install.html|安装说明|2026-03-04"
  "2|C:\\windows\\notepad.exe|记事本|2026-03-05"
  "2|C:\\windows\\regedit.exe|注册表编辑器|2026-03-05"
  "3|file:///C:\\windows\\system32|file:///C:\\windows\\system32|2026-03-06"
  "3|file:///C:\\users\\Public\\Documents|file:///C:\\users\\Public\\Documents|2026-03-06"
)
{
  printf '%s[default]\r\nCbRefresh=0\r\nControlIndex=0\r\n[docs]\r\n' "$bom"
  n=0
  for record in "${records[@]}"; do
    IFS='|' read -r kind address name date <<<"$record"
    printf 'name%d=%s\r\ndate%d=%s\r\nRootPath%d=\r\ndoctype%d=%s\r\npath%d=%s\r\nselected%d=0\r\n' \
      "$n" "$name" "$n" "$date" "$n" "$n" "$kind" "$n" "$address" "$n"
    n=$((n + 1))
  done
} >"$dir/defualt.ini"
printf '%shttp://www.example.com/*|*示例网站首页\r\nC:\\windows\\notepad.exe*|*记事本\r\n' "$bom" \
  >"$dir/fav.dat"
