#!/usr/bin/env bash
# The command-line tool's checks, one row of the table below each: what to
# run and what must come out of it.
#
#   cli-checks.sh --list [--with-output]   prints the names of the rows (the
#                                           graph and PDF rows only with
#                                           --with-output); CTest registers
#                                           one test per name
#   cli-checks.sh NAME                      runs that row; on a failure says
#                                           which row and what went wrong
#
# The environment names the tool (CLI), the repository (SOURCE) and a scratch
# folder (OUT); each row runs in a fresh folder of its own below OUT, $dir.
set -uo pipefail

mode=run
want=""
with_output=0
case "${1:-}" in
  --list)
    mode=list
    [ "${2:-}" = "--with-output" ] && with_output=1
    ;;
  "")
    echo "usage: cli-checks.sh --list [--with-output] | NAME" >&2
    exit 2
    ;;
  *) want="$1" ;;
esac

if [ "$mode" = run ]; then
  : "${CLI:?CLI must name ombrel-cli}" "${SOURCE:?SOURCE must name the repository}" "${OUT:?OUT must name a folder}"
  dir="$OUT/$want"
  rm -rf "$dir" && mkdir -p "$dir" || exit 1
  export CLI SOURCE dir
  export examples="$SOURCE/examples" data="$SOURCE/tests/data"
fi

found=0
failed=0

fail() {
  echo "$want: $1" >&2
  failed=1
}

# check NAME NEEDS STATUS COMMAND [EXPECTATION...]
#   NEEDS        "-", or "output" for graphs and PDFs (the GUI's drawing library)
#   STATUS       the exit status COMMAND must end with, or "fails" for any but 0
#   COMMAND      run by bash in $dir with $CLI, $SOURCE, $examples, $data and
#                $dir set
#   EXPECTATION  stdout=TEXT    standard output is exactly TEXT
#                stdout@FILE    standard output is exactly FILE
#                stdout~TEXT    standard output holds TEXT
#                stdout+        standard output is not empty
#                stderr=TEXT    standard error is exactly TEXT (one line)
#                stderr-first=TEXT  its first line is exactly TEXT
#                stderr-line=TEXT   one of its lines is exactly TEXT
#                stderr~TEXT    standard error holds TEXT
#                stderr+        standard error is not empty
#                file+PATH      PATH is a file that is not empty
#                absent:PATH    nothing is at PATH
#                pdf:PATH       PATH renders as a PDF
check() {
  local name="$1" needs="$2" status="$3" command="$4"
  shift 4
  if [ "$mode" = list ]; then
    [ "$needs" = output ] && [ "$with_output" -eq 0 ] || echo "$name"
    return
  fi
  [ "$name" = "$want" ] || return
  found=1
  (cd "$dir" && bash -c "$command") >"$dir/.stdout" 2>"$dir/.stderr"
  local got=$?
  if [ "$status" = fails ]; then
    [ "$got" -ne 0 ] || fail "exit status 0, expected a failure"
  elif [ "$got" -ne "$status" ]; then
    fail "exit status $got, expected $status; standard error: $(head -c 300 "$dir/.stderr")"
  fi
  local expectation text
  for expectation in "$@"; do
    case "$expectation" in
      stdout=*)
        text="${expectation#stdout=}"
        cmp -s <(printf '%s' "$text") "$dir/.stdout" || fail "standard output is not '$text'"
        ;;
      stdout@*)
        diff -u "${expectation#stdout@}" "$dir/.stdout" >&2 || fail "standard output differs from ${expectation#stdout@}"
        ;;
      stdout~*)
        LC_ALL=C grep -qF -- "${expectation#stdout~}" "$dir/.stdout" || fail "standard output lacks '${expectation#stdout~}'"
        ;;
      stdout+) [ -s "$dir/.stdout" ] || fail "standard output is empty" ;;
      stderr=*)
        text="${expectation#stderr=}"
        [ "$(cat "$dir/.stderr")" = "$text" ] || fail "standard error is '$(cat "$dir/.stderr")', expected '$text'"
        ;;
      stderr-first=*)
        text="${expectation#stderr-first=}"
        [ "$(head -n 1 "$dir/.stderr")" = "$text" ] ||
          fail "standard error begins '$(head -n 1 "$dir/.stderr")', expected '$text'"
        ;;
      stderr-line=*)
        grep -qxF -- "${expectation#stderr-line=}" "$dir/.stderr" ||
          fail "standard error has no line '${expectation#stderr-line=}'"
        ;;
      stderr~*)
        grep -qF -- "${expectation#stderr~}" "$dir/.stderr" || fail "standard error lacks '${expectation#stderr~}'"
        ;;
      stderr+) [ -s "$dir/.stderr" ] || fail "standard error is empty" ;;
      file+*) [ -s "${expectation#file+}" ] || fail "${expectation#file+} is missing or empty" ;;
      absent:*) [ ! -e "${expectation#absent:}" ] || fail "${expectation#absent:} was left behind" ;;
      pdf:*)
        pdftoppm -r 20 -f 1 -l 1 -gray "${expectation#pdf:}" >/dev/null 2>&1 ||
          fail "${expectation#pdf:} does not render as a PDF"
        ;;
      *) fail "unknown expectation '$expectation'" ;;
    esac
  done
}

foreign="${SOURCE:-}/tests/CMakeLists.txt"
[ "$mode" = list ] && foreign=""
not_ombrel="The file is not an Ombrel data file. If you want to import data, first create a new file, then Import."

# ---------------------------------------------------------------- the table

check PrintsVersion - 0 '"$CLI" --version' "stdout=Ombrel 3.00
"
check RefusesUnknownCommand - fails '"$CLI" frobnicate'

# The report of each example document, as the tool prints it.
for example in paired-t standard-curve two-by-two; do
  check "Report_$example" - 0 "\"\$CLI\" report \"\$examples/$example.omd\"" \
    "stdout@${SOURCE:-}/tests/data/cli/$example.txt"
done
check ReportRefusesAForeignFile - fails "\"\$CLI\" report '$foreign'" "stderr~$not_ombrel"
# A cut document still gives its report, with the warning on standard error.
check ReportWarnsAboutACutFile - 0 'head -n 12 "$examples/paired-t.omd" > cut.omd && "$CLI" report cut.omd' \
  stdout+ "stderr-line=cut.omd ended early: the document may be incomplete. It is opened as a new, unsaved copy."
# report --json: the JSON of every example and every golden report document
# validates against the documented schema (Debian's python3 and its
# python3-jsonschema; the agreement with the text is checked by the C++
# tests, support/ReportAgreement.h).
check ReportJsonMatchesSchema - 0 '/usr/bin/python3 "$SOURCE/tests/cli/check_report_json.py" "$CLI" \
  "$SOURCE/docs/report-json.schema.json" "$examples"/*.omd $(find "$data/reports" -name "*.json" | sort)'
check ReportJsonRefusesAForeignFile - 2 "\"\$CLI\" report --json '$foreign'"
check ReportEndsWithTheEffectSectionOnRequest - 0 '"$CLI" report --effect-sizes "$examples/paired-t.omd"' \
  "stdout~Effect size and method" "stdout~Cohen's d = "
check ReportKeepsMarkersOnRequest - 0 '"$CLI" report --markers "$examples/paired-t.omd"' "stdout~"$'\201'

# HTML, PDF and graph pictures: what is written, and exit status 2 with
# nothing left behind when the document cannot be read or the file cannot
# be written.
check ReportHtmlIsAPage - 0 '"$CLI" report --html "$examples/standard-curve.omd"' \
  "stdout~<title>Protein standard curve</title>" "stdout~<b>"
check ReportHtmlRefusesAForeignFile - 2 "\"\$CLI\" report --html '$foreign'" stderr+
for kind in svg pdf png; do
  check "GraphWrites_$kind" output 0 "\"\$CLI\" graph --size 12x9cm \"\$examples/standard-curve.omd\" graph.$kind" \
    "file+${dir:-}/graph.$kind"
  check "GraphRefusesAnUnwritablePath_$kind" output 2 \
    "\"\$CLI\" graph \"\$examples/standard-curve.omd\" no-folder/graph.$kind" stderr+ "absent:${dir:-}/no-folder"
done
check ReportPdfIsReadable output 0 '"$CLI" report --pdf report.pdf "$examples/standard-curve.omd"' \
  "pdf:${dir:-}/report.pdf"
# report --odt: an OpenDocument package whose content holds the tables as
# tables and the numbers (read with Debian's python3).
check ReportOdtHoldsTablesAndNumbers output 0 '"$CLI" report --odt report.odt "$examples/two-by-two.omd" &&
  /usr/bin/python3 -c "import sys, zipfile; sys.stdout.write(zipfile.ZipFile(sys.argv[1]).read(\"content.xml\").decode())" \
  report.odt' "stdout~<table:table " "stdout~>31<" "stdout~Relative risk = 3.407"
check ReportOdtRefusesAnUnwritablePath output 2 '"$CLI" report --odt no-folder/report.odt "$examples/two-by-two.omd"' \
  stderr+ "absent:${dir:-}/no-folder"
check GraphRefusesAnUnreadableDocument output 2 '"$CLI" graph no-such.omd none.svg' stderr+ "absent:${dir:-}/none.svg"
check ReportPdfRefusesAnUnwritablePath output 2 '"$CLI" report --pdf no-folder/report.pdf "$examples/standard-curve.omd"' \
  stderr+
check GraphRefusesABadSize output 2 '"$CLI" graph --size 12x9 "$examples/standard-curve.omd" bad.svg' \
  "absent:${dir:-}/bad.svg"

# Import of text files as other programs write them, end to end: the
# summary line, then the report of the written document (its N and means).
check Import_spreadsheet-semicolon.csv - 0 \
  '"$CLI" import "$data/import/spreadsheet-semicolon.csv" "$dir/out.omd" && "$CLI" report "$dir/out.omd"' \
  "stderr=${dir:-}/out.omd: 3 rows, 3 columns, 1 field left empty (the first not a number in row 2, column 3), decimal separator ','." \
  "stdout~Masse     3       9.576" "stdout~Laenge     2      22.005"
check Import_r-write-csv.csv - 0 \
  '"$CLI" import "$data/import/r-write-csv.csv" "$dir/out.omd" && "$CLI" report "$dir/out.omd"' \
  "stderr=${dir:-}/out.omd: 4 rows, 3 columns, 2 fields left empty (the first not a number in row 1, column 3), row names taken as row titles, decimal separator '.'." \
  "stdout~dose     4    4.675E-05" "stdout~weight     2      69.750"
check ImportRefusesAFileWithoutNumbers - fails "\"\$CLI\" import '$foreign' out.omd" \
  "stderr~the file holds no numbers" "absent:${dir:-}/out.omd"

# Workbooks: the summary line (and the dates line) for a sheet chosen by
# name, by number or by default, then the report of the written document.
workbook() {
  local name="$1" sheet="$2" summary="$3" first="$4" second="$5"
  check "ImportWorkbook_${name}_$sheet" - 0 \
    "\"\$CLI\" import ${sheet:+--sheet $sheet} \"\$data/import/$name\" \"\$dir/out.omd\" && \"\$CLI\" report \"\$dir/out.omd\"" \
    "stderr-first=${dir:-}/out.omd: $summary" "stdout~$first" "stdout~$second"
}
workbook book.xlsx "" 'sheet "Doses", 5 rows, 6 columns, 6 fields left empty (the first not a number in cell E2), 4 dates left out.' \
  "Response     3      25.000" "Rate     4      0.4688"
workbook book.ods Weights 'sheet "Weights", 4 rows, 3 columns, 1 field left empty (the first not a number in cell C5), 1 hidden row imported, 1 hidden column imported.' \
  "Group A     4      19.875" "Group C     4       2.500"
workbook book.xlsx 4 'sheet "Named", 3 rows, 2 columns, 0 fields left empty, row names taken as row titles.' \
  "Mean:           1.723          69.167" "Parameter:          height            mass"
# A workbook's stored digits reach the written document unrounded.
check ImportWorkbookKeepsEveryStoredDigit - 0 '"$CLI" import "$data/import/exact-numbers.ods" out.omd 2>/dev/null && cat out.omd' \
  "stdout~0.30000000000000004," "stdout~1.2345678912345679E+08," "stdout~0.3333333333333333," "stdout~1.000E-20,"
check ImportWorkbookSaysDatesWereLeftOut - 0 '"$CLI" import "$data/import/book.ods" out.omd' \
  "stderr-line=4 dates and times were left out: Ombrel analyses numbers, not dates."

# Refusals: exit status 2, the reason, and no document written.
refusal() {
  local name="$1" sheet="$2" message="$3"
  check "ImportRefuses_${name}_$sheet" - 2 \
    "\"\$CLI\" import ${sheet:+--sheet $sheet} \"\$data/import/$name\" out.omd" "stderr~$message" "absent:${dir:-}/out.omd"
}
refusal truncated.xlsx "" "truncated.xlsx is damaged: its zip archive ends early"
refusal entity-bomb.xlsx "" "entity-bomb.xlsx is damaged: its part xl/workbook.xml declares a document type"
refusal book.xlsx Nope 'book.xlsx has no sheet named "Nope".'
refusal r-write-csv.csv 2 "--sheet chooses a sheet of a workbook"

# ----------------------------------------------------------------

if [ "$mode" = run ]; then
  [ "$found" -eq 1 ] || {
    echo "$want: no such row in tests/cli/cli-checks.sh" >&2
    exit 1
  }
  exit "$failed"
fi
