The window's settings live in a registry export file; ostrivan-card shows and sets them.

  $ . "$TESTS/support/transcript.sh"
  $ setting() { ostrivan-card setting "$@"; }
  $ stored() { tr -d '\r' <"$SETTINGS"; }
  $ by_hand() { mkdir -p "${SETTINGS%/*}"; printf 'REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Trelk\\Ostrivan]\r\n%s' "$1" >"$SETTINGS"; }

Nothing is there at first, and reading creates nothing.

  $ setting "Farm Name"; test -e config || echo "no settings file"
  no settings file
  $ setting "Farm Name" myfarm; setting "Farm Name"; cat -A "$SETTINGS"
  myfarm
  REGEDIT4^M$
  ^M$
  [HKEY_LOCAL_MACHINE\SOFTWARE\Trelk\Ostrivan]^M$
  "Farm Name"="myfarm"^M$

Texts come back as they were set; the file holds code-page bytes, and plain texts as text.

  $ for text in '' 'say "hi" C:\farm\' $'tab\there\r\nline' '€‚ƒ Grüße Ÿ' '="x"=dword:1\'; do
  >   setting "PIC ID" "$text"; echo "[$(setting "PIC ID")]"; done
  []
  [say "hi" C:\farm\]
  [tab\there\r (esc)
  line]
  [\xe2\x82\xac\xe2\x80\x9a\xc6\x92 Gr\xc3\xbc\xc3\x9fe \xc5\xb8] (esc)
  [="x"=dword:1\]
  $ stored | tail -n 1
  "PIC ID"="=\"x\"=dword:1\\"
  $ setting "PIC ID" '€‚ Grüße'; stored | tail -n 1
  "PIC ID"="\x80\x82 Gr\xfc\xdfe" (esc)

A name must be there and be one line of the file, and a name or text must be made of the code
page's characters: anything else is refused, and the file stays byte for byte as it was. Quotes,
backslashes and brackets are ordinary characters of a name.

  $ cp "$SETTINGS" before
  $ setting $'Na\nme' v
  ostrivan-card: the name holds the control character U+000A, which a setting's name cannot hold
  [2]
  $ setting $'\x7f'
  ostrivan-card: the name holds the control character U+007F, which a setting's name cannot hold
  [2]
  $ setting '' x
  ostrivan-card: a setting needs a name
  [2]
  $ setting CJK 日本
  ostrivan-card: the value holds \xe6\x97\xa5 (U+65E5), which the settings file cannot hold (esc)
  [2]
  $ setting 'Ж' x
  ostrivan-card: the name holds \xd0\x96 (U+0416), which the settings file cannot hold (esc)
  [2]
  $ setting "PIC ID" $'\xff'
  ostrivan-card: the value holds a byte that is not UTF-8, which the settings file cannot hold
  [2]
  $ cmp before "$SETTINGS"
  $ setting 'Pen [1] "A\B"' x; setting 'pen [1] "a\b"'
  x

Numbers are numbers; an existing value keeps its type, whatever is given.

  $ for number in 0 -1 2147483647 -2147483648; do setting Mode "$number" --number; setting Mode; done
  0
  -1
  2147483647
  -2147483648
  $ setting Mode 17; setting Mode; setting Mode many
  17
  ostrivan-card: Mode is a number, and many is not
  [2]
  $ setting "Farm Name" 5 --number; stored | grep -i -e mode -e farm
  "Farm Name"="5"
  "Mode"=dword:00000011
  $ setting Mode 2147483648
  ostrivan-card: Mode is a number, and 2147483648 is not
  [2]

Names compare without regard to case; a name's last line wins, and setting it leaves one line.

  $ by_hand $'"farm name"="abc"\r\n"FARM NAME"="def"\r\n\r\n[HKEY_USERS\\Other]\r\n"Kept"="y"\r\n'
  $ setting "Farm Name"; setting "Farm NAME" ghi; stored
  def
  REGEDIT4
  
  [HKEY_LOCAL_MACHINE\SOFTWARE\Trelk\Ostrivan]
  "Farm NAME"="ghi"
  
  [HKEY_USERS\Other]
  "Kept"="y"

Values of other types read as nothing and are left alone; hand-written texts are taken as
stored: the last byte is the terminating NUL.

  $ by_hand $'"Raw"=hex:01,02\r\n"NoNul"=hex(1):61,62,63\r\n"Empty"=hex(1):\r\n"Continued"=hex(1):61,62,\\\r\n  63,00\r\n"Short"=hex(4):07,01\r\n"Cased"=hex(1):4B,6c,00\r\n"Dword"=hex(4):2a,00,00,80\r\n'
  $ for name in Raw NoNul Empty Continued Short Cased Dword; do echo "$name: $(setting "$name")"; done
  Raw: 
  NoNul: ab
  Empty: 
  Continued: abc
  Short: 263
  Cased: Kl
  Dword: -2147483606
  $ setting Raw x
  ostrivan-card: Raw holds a value that is neither a text nor a number; it is left as it is
  [2]
  $ stored | grep Raw
  "Raw"=hex:01,02

Whatever the file holds that is not a value of ours survives a write: garbage, other keys, a
value continued at the end of the file.

  $ by_hand $'"Broken="x\r\n\x01\x02 junk\r\n"Bad"=dword:xyz\r\n"Empty"=\r\n"Odd"=hex(7):41,00,00\r\n"Raw"=hex:01,02,\\'
  $ setting Bad; setting "Farm Name" kept; stored; setting Raw
  REGEDIT4
  
  [HKEY_LOCAL_MACHINE\SOFTWARE\Trelk\Ostrivan]
  "Broken="x
  \x01\x02 junk (esc)
  "Bad"=dword:xyz
  "Empty"=
  "Odd"=hex(7):41,00,00
  "Raw"=hex:01,02,\
  
  "Farm Name"="kept"
  $ printf '\x00\xff[\n\r\n"=\x7f' >"$SETTINGS"; setting "Farm Name" f; setting "Farm Name"; od -c "$SETTINGS"
  f
  0000000   R   E   G   E   D   I   T   4  \r  \n  \r  \n  \0 377   [  \r
  0000020  \n  \r  \n   "   = 177  \r  \n  \r  \n   [   H   K   E   Y   _
  0000040   L   O   C   A   L   _   M   A   C   H   I   N   E   \   S   O
  0000060   F   T   W   A   R   E   \   T   r   e   l   k   \   O   s   t
  0000100   r   i   v   a   n   ]  \r  \n   "   F   a   r   m       N   a
  0000120   m   e   "   =   "   f   "  \r  \n
  0000131

A write that cannot be made says so, and changes nothing.

  $ rm -r config; touch config; setting "Farm Name" x
  ostrivan-card: Farm Name could not be written to */config/Trelk/Ostrivan.reg: Not a directory (glob)
  [4]
  $ rm config; mkdir -p "$SETTINGS"; setting "Farm Name" x
  ostrivan-card: Farm Name could not be written to */config/Trelk/Ostrivan.reg: Is a directory (glob)
  [4]
  $ rmdir "$SETTINGS"

Two programs writing at once lose nothing: every write holds the settings lock.

  $ for writer in A B; do (for i in $(seq 50); do setting "$writer$i" "$i"; done) & done; wait
  $ for writer in A B; do for i in $(seq 50); do [ "$(setting "$writer$i")" = "$i" ] || echo "$writer$i lost"; done; done
