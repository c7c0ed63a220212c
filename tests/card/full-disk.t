A disk that fills up during a read (a small tmpfs, in the transcript's own mount namespace): the export keeps whole rows, a
log that cannot take its lines is told once.

  $ . "$TESTS/support/transcript.sh"
  $ needs_namespaces
  $ mkdir disk; mount -t tmpfs -o size=16k,mode=0777 tmpfs disk; trap 'umount -l disk' EXIT
  $ farm="$TESTS/data/cards/farm.txt"
  $ ostrivan-card export --text "$farm" >whole.csv 2>/dev/null
  $ ostrivan-card export --text "$farm" --output disk/data.csv 2>errors
  [4]
  $ grep TLVToCSV errors; tail -n 2 errors
  ** Error in TLVToCSV() VB error = Cannot write file disk/data.csv: No space left on device
  Closing file data.csv
  Finished!
  $ cmp -n "$(stat -c %s disk/data.csv)" disk/data.csv whole.csv && tail -c 2 disk/data.csv | od -c | head -n 1
  0000000  \r  \n

  $ rm disk/data.csv; head -c 16k /dev/zero >disk/full; card farm "$farm"
  $ ostrivan-card setting "Log File" "$PWD/disk/log.txt"
  $ ostrivan-card read --reader farm --output data.csv 2>&1 | grep -c 'cannot be written'
  1
  $ cmp data.csv whole.csv

A workbook that cannot be completed leaves no file under its name, nor any other; the program's
line, not the workbook library, says what failed.

  $ rm disk/*; head -c 8k /dev/zero >disk/full
  $ ostrivan-card export --text "$farm" --output disk/farm.xlsx >lines 2>&1; echo "exit $?"; cat lines
  exit 4
  Opening file farm.xlsx
  Card Connect
  Reading card
  Disconnect card
  ** Error in cmdReadCard_Click() VB error = Cannot close file disk/farm.xlsx: Zip generic error ZIP_ERRNO while creating the xlsx file. (No space left on device)
  $ ls -A disk
  full
