#!/usr/bin/env python3
"""Compile-time benchmark of generated modules.

Generates resource files of realistic text (fixed seed), runs textresgen on
each and compiles the generated TextResource.cpp, which includes d_func.cpp,
into a shared library with each compiler at -O0 and -O2. Prints the wall
time and peak memory of every compile, InitString time per entry of every
module built, and ns per t["key"] lookup, all twice: with the shipped
d_func.cpp and with a copy whose optimisation pragmas are cut out.

    bench/compile/run.py [--repeat N] [--sizes 1000,4000,16000] ...

POSIX only (dlopen, wait4). Needs cmake, g++, clang++ and python3.
"""

import argparse
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
RUNTIME = os.path.join(ROOT, "runtime")

SEED = 20240611
TEXT_MIN_UNITS = 8
TEXT_MAX_UNITS = 60
JAPANESE_SHARE = 0.2
# Parts per key path: 2 to 5, mostly 3 or 4.
DEPTH_WEIGHTS = {2: 20, 3: 40, 4: 30, 5: 10}

# Interior parts and last parts come from separate lists, so that no key path
# is the prefix of another (a member cannot be both a text and a struct).
# None is a C++ keyword or a common macro name.
GROUPS = """
app menu file edit view tools window help dialog settings options general
advanced network proxy account profile login logout signup password
security privacy display theme font editor search replace find history
bookmarks downloads print preview exporting importing share sync backup
restore update installer wizard page step toolbar sidebar statusbar panel
tab tabs list grid table tree column row cell chart report invoice order
cart checkout payment shipping address contact calendar event reminder
alarm timer clock map route player playlist library album track camera
photo gallery video audio microphone speaker keyboard mouse printer
scanner device storage disk folder archive error warning notice message
mail inbox outbox draft spam trash chat channel member role permission
group team project task issue review comment label filter sort
""".split()
LEAVES = """
title caption legend text tooltip hint placeholder description summary
detail heading subtitle button ok cancel apply close yes no retry ignore
confirm prompt question answer empty loading saving done failed success
progress status note info caution alert guide more less next back first
last open save rename remove move copy paste cut undo redo refresh reload
start stop pause resume enable disable show hide expand collapse select
clear reset submit send reply forward accept decline name value unit
format size count total price date time day week month year
""".split()

ENGLISH_WORDS = """
the a an of to in for on with from by at and or not all any no this that
file files folder document page item items value setting settings option
options account user password server connection network device printer
name date time size type format version update download upload change
changes error errors warning message messages list lists search result
results open save close delete remove create add edit copy move rename
select choose enter confirm apply cancel continue retry restart try again
now later before after new old current default custom available required
invalid unknown selected empty full complete failed succeeded could be
is are was will has have cannot do does please your you it here there
""".split()
JAPANESE_PHRASES = """
ファイルを開く 保存しますか 設定 エラーが発生しました 接続できません
もう一度お試しください 変更を保存 名前を付けて保存 印刷 検索 置換
表示 編集 ツール ヘルプ 閉じる キャンセル 適用 はい いいえ 確認
読み込み中 完了しました 失敗しました 更新があります ダウンロード
アップロード パスワード ユーザー名 サーバー ネットワーク 言語
日付 時刻 サイズ 種類 場所 新しいフォルダー 削除してもよろしいですか
この操作は元に戻せません 選択してください 入力してください 必須項目
無効な値です 見つかりませんでした 準備完了 処理中です しばらくお待ちください
""".split()
assert not set(GROUPS) & set(LEAVES)
# Bytes the lookup harness allocates before InitString, one process each.
# With glibc they shift every later heap block by 0, 16, 32 and 48 bytes: the
# nodes' place against the cache lines alone moves hits on a small table by
# a third, so a single process could credit or blame the countermeasure.
HEAP_PADS = (0, 24, 40, 56)
HEAP_SHIFTS = (0, 16, 32, 48)
PLACEHOLDERS = ["%s", "%d", "{0}", "{1}", "\"%s\"", "(%d)", "&"]


def make_keys(count, rng):
    """count distinct dotted key paths of 2-5 parts, none repeating a part."""
    depths = list(DEPTH_WEIGHTS)
    weights = [DEPTH_WEIGHTS[d] for d in depths]
    seen = set()
    keys = []
    while len(keys) < count:
        depth = rng.choices(depths, weights)[0]
        parts = []
        while len(parts) < depth - 1:
            part = rng.choice(GROUPS)
            if rng.random() < 0.3:
                part += str(rng.randint(1, 99))
            if part not in parts:
                parts.append(part)
        leaf = rng.choice(LEAVES)
        if rng.random() < 0.15:
            leaf += str(rng.randint(1, 9))
        parts.append(leaf)
        key = ".".join(parts)
        if key not in seen:
            seen.add(key)
            keys.append(key)
    return keys


def make_text(rng):
    """A UI text of 8-60 UTF-16 units; about one in five is Japanese."""
    target = rng.randint(TEXT_MIN_UNITS, TEXT_MAX_UNITS)
    if rng.random() < JAPANESE_SHARE:
        text = rng.choice(JAPANESE_PHRASES)
        while len(text) < target:
            text += rng.choice(["、", "。", "：", ""]) + rng.choice(JAPANESE_PHRASES)
        text = text[:target]
    else:
        words = [rng.choice(ENGLISH_WORDS).capitalize()]
        while len(" ".join(words)) < target:
            words.append(rng.choice(ENGLISH_WORDS + PLACEHOLDERS))
        text = " ".join(words)[:target].rstrip()
        text += rng.choice([".", "", "", ":", "?", "…"])
    while len(text) < TEXT_MIN_UNITS:
        text += "."
    return text[:TEXT_MAX_UNITS]


def write_resource_file(path, keys, rng):
    lines = ["%s=%s\r\n" % (key, make_text(rng)) for key in keys]
    with open(path, "wb") as out:
        out.write(b"\xff\xfe" + "".join(lines).encode("utf-16-le"))


def strip_countermeasure(source):
    """d_func.cpp without its optimisation pragmas; fails if it has none."""
    pragma = re.compile(
        r"^\s*#\s*pragma\b.*\b(optimize|push_options|pop_options)\b")
    lines = source.splitlines(keepends=True)
    kept = [line for line in lines if not pragma.match(line)]
    if len(kept) == len(lines):
        sys.exit("runtime/d_func.cpp has no optimisation pragma to compare with")
    return "".join(kept)


class Measured:
    def __init__(self, ok, wall_s, cpu_s, peak_mb, note=""):
        self.ok = ok
        self.wall_s = wall_s
        self.cpu_s = cpu_s  # user + system: less disturbed by other jobs
        self.peak_mb = peak_mb
        self.note = note


def cpu_seconds(usage):
    return usage.ru_utime + usage.ru_stime


def run_measured(cmd, cwd, timeout_s, log_path):
    """Wall time and peak RSS of cmd and everything it waited for (wait4)."""
    with open(log_path, "wb") as log:
        start = time.perf_counter()
        proc = subprocess.Popen(cmd, cwd=cwd, stdout=log, stderr=log,
                                start_new_session=True)
        while True:
            pid, status, usage = os.wait4(proc.pid, os.WNOHANG)
            if pid != 0:
                break
            if time.perf_counter() - start > timeout_s:
                os.killpg(proc.pid, signal.SIGKILL)
                pid, status, usage = os.wait4(proc.pid, 0)
                proc.returncode = -9
                return Measured(False, time.perf_counter() - start,
                                cpu_seconds(usage), usage.ru_maxrss / 1024.0,
                                "timeout %d s" % timeout_s)
            time.sleep(0.005)
        wall = time.perf_counter() - start
        proc.returncode = os.waitstatus_to_exitcode(status)
    if proc.returncode != 0:
        with open(log_path, "rb") as log:
            tail = log.read()[-2000:].decode("utf-8", "replace")
        sys.exit("failed (%d): %s\n%s" % (proc.returncode, " ".join(cmd), tail))
    return Measured(True, wall, cpu_seconds(usage), usage.ru_maxrss / 1024.0)


def median(values):
    values = sorted(values)
    n = len(values)
    return values[n // 2] if n % 2 else (values[n // 2 - 1] + values[n // 2]) / 2


def build_textresgen(build_dir):
    subprocess.run(["cmake", "-S", ROOT, "-B", build_dir,
                    "-DCMAKE_BUILD_TYPE=Release", "-DBUILD_TESTING=OFF"],
                   check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", build_dir, "-j2", "--target",
                    "textresgen"], check=True, stdout=subprocess.DEVNULL)
    for name in ("textresgen", "textresgen.exe"):
        path = os.path.join(build_dir, "generator", name)
        if os.path.exists(path):
            return path
    sys.exit("textresgen not found in " + build_dir)


def generate_module_sources(textresgen, size_dir, keys, rng):
    """TextResource.h/.cpp for keys, converted to UTF-8 for GCC and Clang."""
    os.makedirs(size_dir)
    write_resource_file(os.path.join(size_dir, "TextResource.txt"), keys, rng)
    subprocess.run([textresgen], cwd=size_dir, check=True)
    for name in ("TextResource.h", "TextResource.cpp"):
        path = os.path.join(size_dir, name)
        with open(path, "rb") as f:
            text = f.read().decode("utf-16")
        with open(path, "w", encoding="utf-8", newline="") as f:
            f.write(text)
    with open(os.path.join(size_dir, "TextResource.cpp"), encoding="utf-8") as f:
        lines = sum(1 for line in f if line.startswith("\ttable[dA("))
    if lines != len(keys):
        sys.exit("%s: %d InitString lines for %d keys" % (size_dir, lines, len(keys)))


def fmt_entries(n):
    return "{:,}".format(n)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--sizes", default="1000,4000,16000",
                        help="entries per module, comma-separated")
    parser.add_argument("--compilers", default="g++,clang++")
    parser.add_argument("--levels", default="-O0,-O2")
    parser.add_argument("--repeat", type=int, default=1,
                        help="compiles per configuration; the median is shown")
    parser.add_argument("--timeout", type=int, default=600,
                        help="seconds before a compile is given up")
    parser.add_argument("--uncountered-o2-max", type=int, default=4000,
                        help="largest module compiled at -O2 without the "
                             "countermeasure (superlinear beyond)")
    parser.add_argument("--lookup-table", type=int, default=100000,
                        help="table entries for the lookup benchmark")
    parser.add_argument("--lookup-module", type=int, default=4000,
                        help="entries of the -O2 module used for lookups")
    parser.add_argument("--lookup-reps", type=int, default=15)
    parser.add_argument("--miss-block", type=int, default=5000,
                        help="fresh missing keys per lookup repetition")
    parser.add_argument("--textresgen", help="a built textresgen to use")
    parser.add_argument("--build-dir", default=os.path.join(
        tempfile.gettempdir(), "textresgen-bench-compile-build"))
    parser.add_argument("--keep", action="store_true",
                        help="keep the work folder and print its path")
    args = parser.parse_args()

    sizes = [int(s) for s in args.sizes.split(",")]
    compilers = args.compilers.split(",")
    levels = args.levels.split(",")
    for compiler in compilers + ["g++"]:
        if shutil.which(compiler) is None:
            sys.exit(compiler + " not found")

    textresgen = args.textresgen or build_textresgen(args.build_dir)
    work = tempfile.mkdtemp(prefix="textresgen-bench-compile-")
    try:
        run(args, sizes, compilers, levels, textresgen, work)
    finally:
        if args.keep:
            print("work folder:", work)
        else:
            shutil.rmtree(work, ignore_errors=True)


def version_line(compiler):
    out = subprocess.run([compiler, "--version"], capture_output=True, text=True)
    return out.stdout.splitlines()[0] if out.stdout else compiler


def run(args, sizes, compilers, levels, textresgen, work):
    rng = random.Random(SEED)
    module_sizes = sorted(set(sizes + [args.lookup_module]))
    all_keys = make_keys(max(max(module_sizes), args.lookup_table)
                         + args.lookup_reps * args.miss_block, rng)

    decoders = {"with": RUNTIME, "without": os.path.join(work, "without")}
    os.makedirs(decoders["without"])
    with open(os.path.join(RUNTIME, "d_func.cpp"), encoding="utf-8") as f:
        stripped = strip_countermeasure(f.read())
    with open(os.path.join(decoders["without"], "d_func.cpp"), "w",
              encoding="utf-8") as f:
        f.write(stripped)

    size_dirs = {}
    for size in module_sizes:
        size_dirs[size] = os.path.join(work, str(size))
        generate_module_sources(textresgen, size_dirs[size], all_keys[:size], rng)
        subprocess.run(["g++", "-std=c++17", "-O2", "-I", size_dirs[size],
                        os.path.join(HERE, "harness.cpp"), "-o",
                        os.path.join(size_dirs[size], "harness"), "-ldl"],
                       check=True)

    print("textresgen compile-time benchmark, %d repetition(s) per compile"
          % args.repeat)
    for compiler in compilers:
        print("  " + version_line(compiler))
    print("  load average at start: %.2f %.2f %.2f" % os.getloadavg())
    print("  compile: CXX -std=c++17 LEVEL -shared -fPIC -I DECODER_DIR "
          "TextResource.cpp -o module.so")
    print(flush=True)

    results = {}
    modules = {}

    def compile_module(size, variant, compiler, level):
        tag = "%s_%s_%s" % (variant, compiler.replace("+", "x"), level[1:])
        out = os.path.join(size_dirs[size], tag + ".so")
        cmd = [compiler, "-std=c++17", level, "-shared", "-fPIC", "-I",
               decoders[variant], "TextResource.cpp", "-o", out]
        log = os.path.join(size_dirs[size], tag + ".log")
        return run_measured(cmd, size_dirs[size], args.timeout, log), out

    def skipped(size, variant, level):
        return (variant == "without" and level != "-O0"
                and size > args.uncountered_o2_max)

    configurations = [(size, variant, compiler, level)
                      for size in module_sizes
                      for variant in ("with", "without")
                      for compiler in compilers
                      for level in levels
                      if not skipped(size, variant, level)]
    # Repetitions go in rounds over all configurations, -O0 and -O2 of one
    # module side by side, so that a burst of other load on the machine
    # falls on both sides of a ratio instead of on one configuration's runs.
    for round_number in range(1, args.repeat + 1):
        for key in configurations:
            runs = results.setdefault(key, [])
            if runs and not runs[-1].ok:
                continue  # timed out before: not worth another wait
            measured, out = compile_module(*key)
            runs.append(measured)
            if measured.ok:
                modules[key] = out
            else:
                modules.pop(key, None)  # a cut-off link may have left it
            size, variant, compiler, level = key
            print("  round %d: %6s entries %-7s %-8s %s: %.2f s (cpu %.2f s) "
                  "%.0f MB%s" % (
                      round_number, fmt_entries(size), variant, compiler,
                      level, measured.wall_s, measured.cpu_s, measured.peak_mb,
                      "" if measured.ok else " " + measured.note),
                  flush=True)

    init_ns = {}
    for key, path in modules.items():
        size = key[0]
        harness = os.path.join(size_dirs[size], "harness")
        samples = []
        for _ in range(3):
            out = subprocess.run([harness, "init", path, str(size)],
                                 check=True, capture_output=True, text=True)
            samples.append(float(out.stdout.split()[1]))
        init_ns[key] = median(samples)

    print()
    print_compile_table(sizes, compilers, levels, results, init_ns, args)
    lookups = run_lookups(args, compilers, size_dirs, modules, all_keys, work)
    print_targets(sizes, compilers, levels, results, lookups)
    print("  load average at end: %.2f %.2f %.2f" % os.getloadavg())


CELL = "%7s %5s %6s %6s %9s"
CELL_WIDTH = 37


def cell(results, init_ns, key, skipped_note):
    runs = results.get(key)
    if runs is None:
        return "%-*s" % (CELL_WIDTH, skipped_note)
    last = runs[-1]
    if not last.ok:
        return "%-*s" % (CELL_WIDTH, "> %.0f s (%s)" % (last.wall_s, last.note))
    wall = median([m.wall_s for m in runs])
    spread = "-"
    if len(runs) > 1:
        lo, hi = min(m.wall_s for m in runs), max(m.wall_s for m in runs)
        spread = "%.0f%%" % (50.0 * (hi - lo) / wall)
    return CELL % ("%.2f" % wall, spread,
                   "%.2f" % median([m.cpu_s for m in runs]),
                   "%.0f" % median([m.peak_mb for m in runs]),
                   "%.0f" % init_ns.get(key, float("nan")))


def print_compile_table(sizes, compilers, levels, results, init_ns, args):
    print("Compile time, peak memory of the compiler, and InitString time "
          "per entry of the module built")
    row = "%7s %-8s %-5s | %s | %s"
    print(row % ("", "", "", "%-*s" % (CELL_WIDTH, "with the countermeasure"),
                 "without (pragmas cut out)"))
    head = CELL % ("wall s", "+-", "cpu s", "MB", "ns/entry")
    print(row % ("entries", "compiler", "level", head, head))
    print("-" * (24 + 2 * CELL_WIDTH + 3))
    note = "skipped (over %s entries)" % fmt_entries(args.uncountered_o2_max)
    for size in sizes:
        for compiler in compilers:
            for level in levels:
                print(row % (
                    fmt_entries(size), compiler, level,
                    cell(results, init_ns, (size, "with", compiler, level), note),
                    cell(results, init_ns, (size, "without", compiler, level), note)))
    print("wall s: median of %d compile(s); +-: half their range in %% of it; "
          "cpu s: user + system;" % args.repeat)
    print("MB: peak resident memory; ns/entry: one InitString call, median "
          "of 3 processes")
    print()


def run_lookups(args, compilers, size_dirs, modules, all_keys, work):
    """ns per t[key], module with the countermeasure vs without, at -O2."""
    size = args.lookup_module
    keys_path = os.path.join(work, "lookup_keys.txt")
    misses_path = os.path.join(work, "lookup_misses.txt")
    with open(keys_path, "w") as f:
        f.write("\n".join(all_keys[:args.lookup_table]) + "\n")
    with open(misses_path, "w") as f:
        f.write("\n".join(all_keys[args.lookup_table:args.lookup_table
                                   + args.lookup_reps * args.miss_block]) + "\n")
    print("Lookup ns per t[key] (key a prebuilt std::string), modules of %s "
          "entries built at -O2, table grown to %s entries"
          % (fmt_entries(size), fmt_entries(args.lookup_table)))
    print("  hits: all %s keys in a shuffled order; misses: %s fresh keys per "
          "repetition (each inserts an empty entry)"
          % (fmt_entries(args.lookup_table), fmt_entries(args.miss_block)))
    print("  median of %d repetitions [min-max]: %d in each of %d processes "
          "whose heaps start %s bytes apart, modules taking turns"
          % (args.lookup_reps * len(HEAP_PADS), args.lookup_reps,
             len(HEAP_PADS), "/".join(str(p) for p in HEAP_SHIFTS)))
    print("%-8s %-6s | %-22s | %-22s | %s" % ("compiler", "kind", "with",
                                             "without", "with/without"))
    print("-" * 78)
    lookups = {}
    harness = os.path.join(size_dirs[size], "harness")
    for compiler in compilers:
        with_key = (size, "with", compiler, "-O2")
        without_key = (size, "without", compiler, "-O2")
        if with_key not in modules or without_key not in modules:
            print("%-8s (module missing, no lookup figures)" % compiler)
            continue
        series = {}
        for pad in HEAP_PADS:
            out = subprocess.run([harness, "lookup", modules[with_key],
                                  modules[without_key], keys_path, misses_path,
                                  str(size), str(args.lookup_reps), str(pad)],
                                 check=True, capture_output=True, text=True)
            for line in out.stdout.splitlines():
                name, *values = line.split()
                series.setdefault(name, []).extend(float(v) for v in values)
        for kind in ("hits", "misses"):
            a, b = series[kind + "_a"], series[kind + "_b"]
            ratio = median(a) / median(b)
            lookups[(compiler, kind)] = ratio
            print("%-8s %-6s | %7.1f [%6.1f-%6.1f] | %7.1f [%6.1f-%6.1f] | %.3f"
                  % (compiler, kind, median(a), min(a), max(a), median(b),
                     min(b), max(b), ratio))
    print()
    return lookups


def print_targets(sizes, compilers, levels, results, lookups):
    def measure(key, field):
        runs = results.get(key)
        if not runs or not runs[-1].ok:
            return None
        return median([getattr(m, field) for m in runs])

    def ratio(numerator, denominator, field):
        a, b = measure(numerator, field), measure(denominator, field)
        return a / b if a and b else None

    verdicts = []

    def verdict(label, values, limit):
        shown = "  ".join("%s %s" % (name, "n/a" if v is None else "%.2f" % v)
                          for name, v in values)
        ok = all(v is not None and v <= limit for _, v in values)
        verdicts.append(ok)
        print("  %-44s %-24s %s" % (label, shown, "met" if ok else "NOT MET"))

    print("Targets, with the countermeasure (a time ratio counts as met when "
          "both wall and cpu meet it)")
    if "-O0" in levels and "-O2" in levels:
        for compiler in compilers:
            for size in sizes:
                o0 = (size, "with", compiler, "-O0")
                o2 = (size, "with", compiler, "-O2")
                verdict("%s %s entries: -O2 / -O0 time <= 1.5" % (
                    compiler, fmt_entries(size)),
                    [("wall", ratio(o2, o0, "wall_s")),
                     ("cpu", ratio(o2, o0, "cpu_s"))], 1.5)
    if 4000 in sizes and 16000 in sizes:
        for compiler in compilers:
            for level in levels:
                small = (4000, "with", compiler, level)
                large = (16000, "with", compiler, level)
                verdict("%s %s: time 16,000 / 4,000 <= 5" % (compiler, level),
                        [("wall", ratio(large, small, "wall_s")),
                         ("cpu", ratio(large, small, "cpu_s"))], 5.0)
                verdict("%s %s: memory 16,000 / 4,000 <= 5" % (compiler, level),
                        [("peak", ratio(large, small, "peak_mb"))], 5.0)
    for (compiler, kind), value in sorted(lookups.items()):
        verdict("%s %s: with / without <= 1.10" % (compiler, kind),
                [("median", value)], 1.10)
    print("  all targets met" if verdicts and all(verdicts)
          else "  some targets NOT met")


if __name__ == "__main__":
    main()
