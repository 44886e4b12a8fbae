# Compares what the device finder says with what the emulator's devices really are.
#
#   awk -v mode=devices -f scripts/compare-truth.awk truth.tsv devices.csv
#   awk -v mode=results -f scripts/compare-truth.awk truth.tsv results.csv
#
# truth.tsv is zvr-devicesim --truth-file; the CSV files are the finder's exports
# (--export-csv, --export-results). devices: every listed device of the emulator shows
# only values it reported (its address as configured at start), and nothing the hostile
# host invented (its values carry "hostile" or 127.250/127.251) is shown at all.
# results: a row that says done names where the device is configured now; a row that
# says not done names a device still configured where it started; unconfirmed rows are
# counted, and so are rows of devices that took a write at an address another device held
# at the same time (the emulator counts those), which no finder can judge. Prints one
# summary line; exits 1 on any false statement.

function csvsplit(line, out,    n, i, c, field, quoted) {
    n = 0; field = ""; quoted = 0
    for (i = 1; i <= length(line); ++i) {
        c = substr(line, i, 1)
        if (quoted) {
            if (c == "\"" && substr(line, i + 1, 1) == "\"") { field = field "\""; ++i }
            else if (c == "\"") { quoted = 0 }
            else { field = field c }
        } else if (c == "\"") { quoted = 1 }
        else if (c == ",") { out[++n] = field; field = "" }
        else { field = field c }
    }
    out[++n] = field
    return n
}

function wrong(what) {
    ++falses
    if (falses <= 20) print "FALSE: " what > "/dev/stderr"
}

function invented(text) {
    return text ~ /hostile|HOSTILE|(^|[^0-9])127\.25[01]\./
}

BEGIN { FS = "\t"; shared = 0; spoofed = 0; falses = 0; unread = 0; rows = 0; stated = 0; unconfirmed = 0; foreign = 0; checked = 0 }

FNR == NR {
    if (FNR == 1) { for (i = 1; i <= NF; ++i) tcol[$i] = i; next }
    mac = $tcol["mac"]
    for (name in tcol) truth[mac, name] = $tcol[name]
    known[mac] = 1
    next
}

{
    sub(/\r$/, "")
    if (FNR == 1) {
        sub(/^\357\273\277/, "")
        n = csvsplit($0, head)
        for (i = 1; i <= n; ++i) col[head[i]] = i
        if (!("MAC地址" in col)) { print "compare-truth: no MAC column in " FILENAME; exit 2 }
        next
    }
    if ($0 == "") next
    n = csvsplit($0, cell)
    ++rows
    mac = cell[col["MAC地址"]]
    for (i = 1; i <= n; ++i) if (invented(cell[i])) { ++spoofed; wrong("row of " mac " shows an invented value \"" cell[i] "\""); break }
    if (!(mac in known)) { ++foreign; if (mode == "results") wrong("a result for " mac ", which is no device here"); next }
    if (mode == "devices") {
        nt = split("设备名称|网口1 IP|序列号|设备型号|固件版本|网口2 IP", titles, "|")
        split("name|initial|serial|model|firmware|ip2", fields, "|")
        for (i = 1; i <= nt; ++i) {
            title = titles[i]
            field = fields[i]
            if (!(title in col)) continue
            shown = cell[col[title]]
            sub(/（待扫描确认）$/, "", shown)
            # An empty cell states nothing: the value was not read.
            if (shown == "" && truth[mac, field] != "") { ++unread; continue }
            ++checked
            if (shown != truth[mac, field]) wrong(mac " " title ": shown \"" shown "\", the device reports \"" truth[mac, field] "\"")
        }
        next
    }
    outcome = cell[col["修改结果"]]
    detail = cell[col["详情"]]
    if (outcome == "未确认") { ++unconfirmed; next }
    # A write sent to its address while another device held it too may have reached either
    # device: what became of them is not the finder's to know.
    if (truth[mac, "shared_writes"] + 0 > 0) { ++shared; next }
    ++stated
    if (outcome == "修改成功") {
        # "Elsewhere" claims only that a scan found it at neither address.
        if (detail != "已生效（地址与计划不同）" && truth[mac, "configured"] != cell[col["新IP地址"]])
            wrong(mac " said done at " cell[col["新IP地址"]] ", but it is configured at " truth[mac, "configured"])
    } else if (truth[mac, "configured"] != truth[mac, "initial"]) {
        wrong(mac " said not done (" detail "), but it moved from " truth[mac, "initial"] " to " truth[mac, "configured"])
    }
}

END {
    if (mode == "devices")
        printf "compare-truth: %d rows, %d values checked, %d not read (empty), %d rows of no emulated device, %d rows showing invented values, %d false\n", rows, checked, unread, foreign, spoofed, falses
    else
        printf "compare-truth: %d results, %d stated (done or not done), %d unconfirmed, %d false, %d not judged (a write reached an address two devices shared)\n", rows, stated, unconfirmed, falses, shared
    exit falses > 0 ? 1 : 0
}
