An export named *.xlsx (any case) is a workbook holding the rows of the CSV export: identifiers
always text, plain weights and gate numbers as numbers, no formula, every character kept.

  $ . "$TESTS/support/transcript.sh"
  $ for text in "$TESTS"/data/cards/*.txt; do
  >   rm -f x.csv x.XLSX
  >   ostrivan-card export --text "$text" --output x.csv 2>/dev/null; csv=$?
  >   ostrivan-card export --text "$text" --output x.XLSX 2>/dev/null; echo "${text##*/}: $csv $?"
  >   workbook.py x.XLSX x.csv | sed "s|^|${text##*/}: |"
  > done
  block-cells.txt: 0 0
  end-in-last-two-bytes.txt: 3 3
  erased.txt: 5 5
  farm.txt: 0 0
  formatted.txt: 0 0
  herd.txt: 0 0
  records.txt: 5 5
  split.txt: 0 0
  spreadsheet.txt: 0 0
  value-too-long.txt: 5 5
  values.txt: 0 0
  $ ostrivan-card export --text "$TESTS/data/cards/spreadsheet.txt" --output cells.xlsx 2>&1 | head -n 1
  Opening file cells.xlsx
  $ workbook.py cells.xlsx
  s:RecType | s:Time | s:Date | s:Tag Nr | s:Invoice Nr | s:Location Id | s:Location Name | s:Weight | s:Gate Nr | s:Device Id | s:Version
  s:Draft | s:07:02:11 | s:15/03/24 | s:=1+2 |  |  |  | n:452 | n:2 |  | 
  s:Draft | s:07:03:40 | s:15/03/24 | s:982000123456789 |  |  |  | n:4294967295 | n:0 |  | 
  s:Draft | s:07:03:40 | s:15/03/24 | s:0012345678 |  |  |  |  |  |  | 
  s:Origin | s:07:10:00 | s:15/03/24 |  | s: 123 | s:L_x0000__x000D_
  \t_x001F__x007F__x0081__x0090__x009D_\xe2\x82\xac\xc3\xbf_x005F_x0041_ |  |  |  |  |  (esc)
  s:Origin | s:07:11:25 | s:15/03/24 | s:@SUM(A1) | s: 123 | s:L_x0000__x000D_
  \t_x001F__x007F__x0081__x0090__x009D_\xe2\x82\xac\xc3\xbf_x005F_x0041_ |  |  |  |  |  (esc)
  s:Location |  |  |  |  | s:-5 | s:+7 |  |  |  | 

It gets the mode a new CSV export gets, and leaves no other file behind.

  $ stat -c %a x.csv cells.xlsx; ls -A
  644
  644
  cells.xlsx
  data
  x.XLSX
  x.csv
  $ ostrivan-card export --text "$TESTS/data/cards/formatted.txt" --output cells.xlsx
  ostrivan-card: cells.xlsx exists; --force replaces it
  [4]

Like a CSV export, a workbook that replaces a file keeps its permission bits, and one named by a
symbolic link is written to the link's target.

  $ chmod 600 cells.xlsx; ln -s cells.xlsx link.xlsx
  $ ostrivan-card export --text "$TESTS/data/cards/formatted.txt" --output link.xlsx --force 2>/dev/null
  $ stat -c '%a %F' cells.xlsx link.xlsx; workbook.py cells.xlsx | sed -n 3p
  600 regular file
  777 symbolic link
  s:Application |  |  |  |  |  |  |  |  |  | s:OSTRIVAN 007
