ostrivan-card history reads every archived card image, silently, and follows each animal's
weighings: a row with a tag, a plain weight and a valid date and time. A weighing seen in several
reads, at one station or at several, counts once.

  $ . "$TESTS/support/transcript.sh"
  $ archive="$DATA/archive"; mkdir -p "$archive" office
  $ weighings="$TESTS/data/weighings"
  $ ostrivan_make_card "$weighings/round1.txt" "$archive/2024-03-01_08-00-00 crate.card"
  $ cp "$archive/2024-03-01_08-00-00 crate.card" "office/2024-03-01_09-30-00 office.card"
  $ ostrivan_make_card "$weighings/round2.txt" "office/2024-03-11_08-00-00 crate.card"

One row per tag; the gain per day from its first weighing to its last, empty within one day.

  $ ostrivan-card history
  Tag Nr,Weighings,First Date,First Weight,Last Date,Last Weight,Days,Gain per Day,\r (esc)
  UK 100,1,01/03/24,452,01/03/24,452,0,,\r (esc)
  UK 200,1,01/03/24,390,01/03/24,390,0,,\r (esc)
  UK 300,2,01/03/24,500,01/03/24,505,0,,\r (esc)
  $ ostrivan-card history --archive "$archive" --archive office | tr -d '\r'
  Tag Nr,Weighings,First Date,First Weight,Last Date,Last Weight,Days,Gain per Day,
  UK 100,2,01/03/24,452,11/03/24,470,10,1.80,
  UK 200,2,01/03/24,390,11/03/24,395,10,0.50,
  UK 300,2,01/03/24,500,01/03/24,505,0,,

Tags asked for, typed as they come: their every weighing in time order, the gain since the one
before, and the first image it was read from.

  $ ostrivan-card history "uk 100" UK200 --archive "$archive" --archive office | tr -d '\r'
  Tag Nr,Date,Time,Weight,Gate Nr,Gain per Day,Image,
  UK 100,01/03/24,07:02:11,452,1,,2024-03-01_08-00-00 crate.card,
  UK 100,11/03/24,07:10:00,470,1,1.80,2024-03-11_08-00-00 crate.card,
  UK 200,01/03/24,07:03:40,390,2,,2024-03-01_08-00-00 crate.card,
  UK 200,11/03/24,07:11:00,395,2,0.50,2024-03-11_08-00-00 crate.card,

An image that cannot be read or decoded is named and gives no weighing, not even those before
its fault; the others count, and the status is 5.

  $ ostrivan_make_card "$weighings/broken.txt" "office/2024-03-20_08-00-00 crate.card"
  $ printf x >office/short.card
  $ ostrivan-card history UK100 --archive office --output weights.csv
  ostrivan-card: office/2024-03-20_08-00-00 crate.card: Subscript out of range
  ostrivan-card: office/short.card: Subscript out of range
  [5]
  $ cut -d, -f2,4 weights.csv
  Date,Weight
  01/03/24,452
  11/03/24,470
  $ ostrivan-card history --archive missing
  ostrivan-card: missing: No such file or directory
  Tag Nr,Weighings,First Date,First Weight,Last Date,Last Weight,Days,Gain per Day,\r (esc)
  [5]

A workbook holds the same rows, dates and times as date cells, laid out as the export's (a
filter, columns as wide as their cells), and a chart of each tag's weights over time.

  $ ostrivan-card history --archive "$archive" --archive office "UK 100" "UK 200" --output weights.xlsx 2>/dev/null
  [5]
  $ workbook.py weights.xlsx
  s:Tag Nr | s:Date | s:Time | s:Weight | s:Gate Nr | s:Gain per Day | s:Image
  s:UK 100 | d:01/03/24 | d:07:02:11 | n:452 | n:1 |  | s:2024-03-01_08-00-00 crate.card
  s:UK 100 | d:11/03/24 | d:07:10:00 | n:470 | n:1 | n:1.8 | s:2024-03-11_08-00-00 crate.card
  s:UK 200 | d:01/03/24 | d:07:03:40 | n:390 | n:2 |  | s:2024-03-01_08-00-00 crate.card
  s:UK 200 | d:11/03/24 | d:07:11:00 | n:395 | n:2 | n:0.5 | s:2024-03-11_08-00-00 crate.card
  $ workbook.py --layout weights.xlsx
  sheets: History
  History: frozen A2, filter A1:G5, header bold, widths A=17 B=10 C=10 D=9 E=9 F=14 G=32
  History: scatterChart chart, axes Date / Weight
    series History!$B$2:$B$3 History!$D$2:$D$3
    series History!$B$4:$B$5 History!$D$4:$D$5
