An export named *.xlsx (any case) is a workbook holding the rows of the CSV export: identifiers
always text, plain weights and gate numbers as numbers, valid dates and times as date cells that
show the CSV's text, no formula, every character kept.

  $ . "$TESTS/support/transcript.sh"
  $ mkdir cards; for text in "$TESTS"/data/cards/*.txt; do
  >   name=$(basename "$text" .txt)
  >   ostrivan-card export --text "$text" --output "cards/$name.csv" 2>/dev/null; csv=$?
  >   ostrivan-card export --text "$text" --output "cards/$name.XLSX" 2>/dev/null; echo "$name: $csv $?"
  >   workbook.py "cards/$name.XLSX" "cards/$name.csv" | sed "s|^|$name: |"
  > done
  block-cells: 0 0
  end-in-last-two-bytes: 3 3
  erased: 5 5
  farm: 0 0
  formatted: 0 0
  herd: 0 0
  records: 5 5
  split: 0 0
  spreadsheet: 0 0
  value-too-long: 5 5
  values: 0 0

A spreadsheet program reads them so too: LibreOffice Calc, converting each to CSV, gives every
cell as the export has it (a line break inside a cell as one).

  $ soffice -env:UserInstallation="file://$PWD/office" --headless \
  >   --convert-to 'csv:Text - txt - csv (StarCalc):44,34,76' --outdir calc cards/*.XLSX >/dev/null 2>&1
  $ for export in cards/*.csv; do
  >   name=$(basename "$export" .csv); workbook.py --calc "calc/$name.csv" "$export" | sed "s|^|$name: |"
  > done; ls calc | wc -l
  11

The rows sheet comes first: a bold, frozen header, a filter over every row, columns as wide as
their longest cell (identifiers at least 16). The summary sheet holds the summary line's figures
and a chart of the weights.

  $ workbook.py --layout cards/herd.XLSX
  sheets: Rows, Summary
  Rows: frozen A2, filter A1:K19, header bold, widths A=9 B=10 C=10 D=17 E=17 F=17 G=15 H=9 I=9 J=11 K=9
  Rows: formats B=hh:mm:ss C=dd/mm/yy
  Summary: frozen None, filter None, header plain, widths A=35
  Summary: barChart chart "Weights", axes Weight / Rows
    series Summary!$A$17:$A$26 Summary!$B$17:$B$26
  $ workbook.py --sheet Summary cards/herd.XLSX
  Rows read | 18
  Tags | 8
  Tags seen twice in one record type | 7
  
  Record type | Rows
  Draft | 15
  Origin | 2
  Print | 1
  
  Gate Nr | Weights | Lightest | Mean | Heaviest
  All | 15 | 377 | 434 | 508
  1 | 7 | 390 | 433 | 474
  2 | 4 | 377 | 391 | 404
  3 | 4 | 455 | 482 | 508
  
  Weight | Rows
  377 to 390 | 3
  391 to 404 | 2
  405 to 418 | 2
  419 to 432 | 1
  433 to 446 | 1
  447 to 460 | 1
  461 to 474 | 3
  475 to 488 | 0
  489 to 502 | 1
  503 to 516 | 1
  $ card herd "$TESTS/data/cards/herd.txt"; ostrivan-card read --reader herd 2>&1 >/dev/null | tail -n 1
  Read 18 rows: Draft 15, Origin 2, Print 1. Tags 8. Seen twice: UK1230, UK1231, UK1232, UK1233, UK1234 and 2 more. Weight 377 to 508, mean 434.
  $ ostrivan-card export --text "$TESTS/data/cards/spreadsheet.txt" --output cells.xlsx 2>&1 | head -n 1
  Opening file cells.xlsx
  $ workbook.py cells.xlsx
  s:RecType | s:Time | s:Date | s:Tag Nr | s:Invoice Nr | s:Location Id | s:Location Name | s:Weight | s:Gate Nr | s:Device Id | s:Version
  s:Draft | d:07:02:11 | d:15/03/24 | s:=1+2 |  |  |  | n:452 | n:2 |  | 
  s:Draft | d:07:03:40 | d:15/03/24 | s:982000123456789 |  |  |  | n:4294967295 | n:0 |  | 
  s:Draft | d:07:03:40 | d:15/03/24 | s:0012345678 |  |  |  |  |  |  | 
  s:Origin | d:07:10:00 | d:15/03/24 |  | s: 123 | s:L_x0000__x000D_
  \t_x001F_\x7f\xc2\x81\xc2\x90\xc2\x9d\xe2\x82\xac\xc3\xbf_x005F_x0041_ |  |  |  |  |  (esc)
  s:Origin | d:07:11:25 | d:15/03/24 | s:@SUM(A1) | s: 123 | s:L_x0000__x000D_
  \t_x001F_\x7f\xc2\x81\xc2\x90\xc2\x9d\xe2\x82\xac\xc3\xbf_x005F_x0041_ |  |  |  |  |  (esc)
  s:Location |  |  |  |  | s:-5 | s:+7 |  |  |  | 
  s:Location |  |  |  |  | s:_x0041 | s:_x00g1_ |  |  |  | 

It gets the mode a new CSV export gets, and leaves no other file behind.

  $ stat -c %a cards/herd.csv cells.xlsx; ls -A cards | grep -cv '^[a-z-]*\.\(csv\|XLSX\)$'
  644
  644
  0
  [1]
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
