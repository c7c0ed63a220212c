ostrivan-card history follows every animal's weighings in the herd book, which keeps every
weighing a station reads, once: a row with a tag that is not blank, a plain weight above 0 and a
valid date and time. The book takes in the card images of the archive, and of the folders given,
that it has not seen; a weighing seen in several reads, at one station or at several, counts once.

  $ . "$TESTS/support/transcript.sh"
  $ archive="$DATA/archive"; mkdir -p "$archive" office
  $ weighings="$TESTS/data/weighings"
  $ ostrivan_make_card "$weighings/round1.txt" "$archive/2024-03-01_08-00-00 crate.card"
  $ cp "$archive/2024-03-01_08-00-00 crate.card" "office/2024-03-01_09-30-00 office.card"
  $ ostrivan_make_card "$weighings/round2.txt" "office/2024-03-11_08-00-00 crate.card"

One row per animal: the gain per day from its first weighing to its last, empty within one day.
The station's archive is taken in, and each folder given.

  $ ostrivan-card history
  Tag Nr,Weighings,First Date,First Weight,Last Date,Last Weight,Days,Gain per Day,Trend\r (esc)
  UK 100,1,01/03/24,452,01/03/24,452,0,,\r (esc)
  UK 200,1,01/03/24,390,01/03/24,390,0,,\r (esc)
  UK 300,2,01/03/24,500,01/03/24,505,0,,\r (esc)
  $ ostrivan-card history --archive office | tr -d '\r'
  Tag Nr,Weighings,First Date,First Weight,Last Date,Last Weight,Days,Gain per Day,Trend
  UK 100,2,01/03/24,452,11/03/24,470,10,1.80,
  UK 200,2,01/03/24,390,11/03/24,395,10,0.50,
  UK 300,2,01/03/24,500,01/03/24,505,0,,

The book forgets nothing: images pruned from the archive still count, and images are known by
their bytes, so another station's image of the same name counts too.

  $ rm "$archive"/* office/*; ostrivan_make_card "$weighings/spellings.txt" "office/2024-03-11_08-00-00 crate.card"
  $ ostrivan-card history --archive office | tr -d '\r'
  Tag Nr,Weighings,First Date,First Weight,Last Date,Last Weight,Days,Gain per Day,Trend
  uk100,3,01/03/24,452,19/03/24,476,18,1.33,
  UK 200,3,01/03/24,390,19/03/24,401,18,0.61,
  UK 300,2,01/03/24,500,01/03/24,505,0,,

A workbook holds the same rows, laid out as the export's (columns as wide as their cells, a
filter, gains with two decimals), and a chart of how the gains per day spread over the herd, in
bands of a round step.

  $ ostrivan-card history --archive office --output gains.xlsx; workbook.py --layout gains.xlsx
  sheets: History, Gains
  History: frozen A2, filter A1:I4, header bold, widths A=17 B=11 C=12 D=14 E=11 F=13 G=9 H=14 I=9
  History: formats C=dd/mm/yy E=dd/mm/yy H=0.00
  Gains: frozen None, filter None, header bold, widths A=19
  Gains: barChart chart "Gains per day over the herd", axes Gain per Day / Animals, counted in whole numbers
    series Gains!$A$2:$A$9 Gains!$B$2:$B$9
  $ workbook.py --sheet Gains gains.xlsx
  Gain per Day from | Animals
  0.6 | 1
  0.7 | 0
  0.8 | 0
  0.9 | 0
  1.0 | 0
  1.1 | 0
  1.2 | 0
  1.3 | 1

Tags typed whatever their case and blanks: every weighing of the animal in time order, shown
with the spelling of its latest, with the gain since the one before and the image it was first
seen in. A tag that has none is named; with no tag found, the status is 1.

  $ ostrivan-card history "UK 100" uk200 UK999 --archive office | tr -d '\r'
  ostrivan-card: No weighings of tag UK999
  Tag Nr,Date,Time,Weight,Gate Nr,Gain per Day,Image
  uk100,01/03/24,07:02:11,452,1,,2024-03-01_08-00-00 crate.card
  uk100,11/03/24,07:10:00,470,1,1.80,2024-03-11_08-00-00 crate.card
  uk100,19/03/24,07:00:00,476,3,0.75,2024-03-11_08-00-00 crate.card
  UK 200,01/03/24,07:03:40,390,2,,2024-03-01_08-00-00 crate.card
  UK 200,11/03/24,07:11:00,395,2,0.50,2024-03-11_08-00-00 crate.card
  UK 200,19/03/24,07:01:00,401,3,0.75,2024-03-11_08-00-00 crate.card
  $ ostrivan-card history UK999 "UK 1000"
  ostrivan-card: No weighings of tag UK999
  ostrivan-card: No weighings of tag UK 1000
  Tag Nr,Date,Time,Weight,Gate Nr,Gain per Day,Image\r (esc)
  [1]
  $ ostrivan-card history "UK 日"
  ostrivan-card: the tag holds 日 (U+65E5), which a card cannot hold
  [2]

Blanks are the space, the tab and the no-break space, and letters fold to one case across the
code page: "\xd8lby1" and "\xf8LBY 1" are one animal. (esc)

  $ ostrivan_make_card "$weighings/letters.txt" "office/2024-03-27_08-00-00 crate.card"
  $ ostrivan-card history "ølby 1" uk200 --archive office | cut -d, -f1-4,6 | iconv -f CP1252 -t UTF-8
  Tag Nr,Date,Time,Weight,Gain per Day
  øLBY 1,01/03/24,07:00:00,300,
  øLBY 1,09/03/24,07:00:00,301,0.13
  UK\xc2\xa0200,01/03/24,07:03:40,390, (esc)
  UK\xc2\xa0200,11/03/24,07:11:00,395,0.50 (esc)
  UK\xc2\xa0200,19/03/24,07:01:00,401,0.75 (esc)
  UK\xc2\xa0200,27/03/24,07:00:00,410,1.13 (esc)

Gains round half away from zero and are never "-0.00"; an animal that loses shows it, and in the
workbook's bands falls below zero. Two-digit years 80 to 99 are 1980 to 1999.

  $ ostrivan_make_card "$weighings/figures.txt" "office/2024-04-10_08-00-00 crate.card"
  $ ostrivan-card history --archive office | grep -E '^(R|Y)' | tr -d '\r'
  R1,2,01/01/24,400,09/01/24,401,8,0.13,
  R2,2,01/01/23,500,28/10/23,499,300,0.00,
  R3,2,01/01/24,300,10/04/24,297,100,-0.03,losing
  Y2K,2,31/12/99,200,01/01/00,202,1,2.00,
  $ ostrivan-card history --archive office --output bands.xlsx; workbook.py --sheet Gains bands.xlsx
  Gain per Day from | Animals
  -0.5 | 1
  0.0 | 3
  0.5 | 1
  1.0 | 1
  1.5 | 0
  2.0 | 1

An image that ends short (a read cut short, a card with no end marker, a fault after its Card
item) gives the whole rows its export held, and is named once, when it is taken in. One that
cannot be opened, or is no card image, gives nothing, is named every time, and makes the status
5; a folder given that is not there, 3.

  $ head -c 128 "office/2024-04-10_08-00-00 crate.card" >"office/2024-05-01_08-00-00 cut.card"
  $ { echo "Card 32"; for i in $(seq 1820); do printf 'Draft "A"\ntime 2024-05-02 07:00:00\nnumber 400\nnumber 1\n'; done
  >   echo "item 07 00 00 00"; } | ostrivan_make_card - "office/2024-05-02_08-00-00 full.card"
  $ { echo "Card 32"; cat "$weighings/broken.txt"; } | ostrivan_make_card - "office/2024-05-03_08-00-00 broken.card"
  $ ostrivan_make_card "$weighings/broken.txt" "office/2024-05-04_08-00-00 other.card"; printf x >office/x.card; cp office/x.card office/y.card
  $ ostrivan-card history A UK100 --archive office | tr -d '\r'
  ostrivan-card: office/2024-05-01_08-00-00 cut.card: cut short after 2 blocks: its 7 whole rows count
  ostrivan-card: office/2024-05-02_08-00-00 full.card: no end marker: its 1821 whole rows count
  ostrivan-card: office/2024-05-03_08-00-00 broken.card: Subscript out of range: its 2 whole rows count
  ostrivan-card: office/2024-05-04_08-00-00 other.card: not a card image: it does not begin with a Card item
  ostrivan-card: office/x.card: not a card image: it does not begin with a Card item
  ostrivan-card: office/y.card: not a card image: it does not begin with a Card item
  Tag Nr,Date,Time,Weight,Gate Nr,Gain per Day,Image
  A,02/05/24,07:00:00,400,1,,2024-05-02_08-00-00 full.card
  UK 100,01/03/24,07:02:11,452,1,,2024-03-01_08-00-00 crate.card
  UK 100,11/03/24,07:10:00,470,1,1.80,2024-03-11_08-00-00 crate.card
  UK 100,19/03/24,07:00:00,476,3,0.75,2024-03-11_08-00-00 crate.card
  UK 100,20/03/24,07:00:00,480,1,4.00,2024-05-03_08-00-00 broken.card
  [5]
  $ ostrivan-card history --archive office 2>&1 >/dev/null | cut -d: -f2
   office/2024-05-04_08-00-00 other.card
   office/x.card
   office/y.card
  [5]
  $ rm office/*other.card office/?.card; ostrivan-card history --archive office >/dev/null
  $ ostrivan-card history --archive missing >/dev/null
  ostrivan-card: missing: no such folder
  [3]

With tags, the chart has a line of each animal's weights over time: the first 50, which its title
says when there are more.

  $ for i in $(seq 51); do printf 'Draft "T%s"\ntime 2024-06-01 07:00:00\nnumber %s\nnumber 1\n' $i $((300 + i)); done >many.txt
  $ { echo "Card 36"; cat many.txt; sed 's/06-01/06-11/' many.txt; echo end; } | ostrivan_make_card - "office/2024-06-11_08-00-00 crate.card"
  $ ostrivan-card history $(seq -f T%g 51) --archive office --output lines.xlsx 2>/dev/null; workbook.py --layout lines.xlsx | awk '/chart/; /series/ { n++ } END { print n }'
  History: scatterChart chart "Weights over time: the first 50 of the 51 tags", axes Date / Weight
  50

A book that cannot be used is named with its reason, left as it is, and how to start over is
said.

  $ book="$DATA/herd-book.sqlite"; mv "$book" kept.sqlite; echo "not a book" >"$book"
  $ ostrivan-card history 2>&1 | sed "s|$PWD|.|"
  ostrivan-card: The herd book ./data/Trelk/Ostrivan/herd-book.sqlite cannot be used: file is not a database
  ostrivan-card: To start over, move the herd book aside: the next history takes in the archive again.
  [4]
  $ cat "$book"; ls "$DATA"
  not a book
  archive
  cards
  herd-book.sqlite
