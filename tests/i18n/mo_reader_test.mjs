// The page's catalog reader against catalogs written by GNU msgfmt in both
// byte orders, damaged catalogs, and the plural rules of our locales.
// Usage: node mo_reader_test.mjs <path of i18n.js>
import { execFileSync } from "node:child_process";
import { mkdtempSync, readFileSync, writeFileSync, rmSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";

const source = readFileSync(process.argv[2], "utf-8");
const i18n = await import("data:text/javascript;base64," + Buffer.from(source).toString("base64"));

let failures = 0;
function check(name, condition, detail = "") {
  if (!condition) {
    failures++;
    console.error(`FAIL ${name} ${detail}`);
  }
}

const PO = `msgid ""
msgstr ""
"Content-Type: text/plain; charset=UTF-8\\n"
"Plural-Forms: nplurals=3; plural=(n==1 ? 0 : n%10>=2 && n%10<=4 && (n%100<10 || n%100>=20) ? 1 : 2);\\n"

msgid "Play"
msgstr "Odtwórz"

msgid "Call {id} of {count}"
msgstr "Połączenie {id} z {count}"

msgid "{n} call"
msgid_plural "{n} calls"
msgstr[0] "{n} połączenie"
msgstr[1] "{n} połączenia"
msgstr[2] "{n} połączeń"

msgid "Untranslated"
msgstr ""
`;

const dir = mkdtempSync(join(tmpdir(), "vorn-mo-"));
try {
  writeFileSync(join(dir, "pl.po"), PO);
  const catalogs = {};
  for (const order of ["little", "big"]) {
    const out = join(dir, `${order}.mo`);
    execFileSync("msgfmt", [`--endianness=${order}`, "-o", out, join(dir, "pl.po")]);
    const bytes = readFileSync(out);
    catalogs[order] = bytes.buffer.slice(bytes.byteOffset, bytes.byteOffset + bytes.length);
  }

  // Both byte orders read alike, with texts, placeholders and plural forms.
  for (const order of ["little", "big"]) {
    i18n.useCatalog(catalogs[order], "pl_PL");
    const cases = [
      [i18n.t("Play"), "Odtwórz"],
      [i18n.t("Call {id} of {count}", { id: 3, count: 12 }), "Połączenie 3 z 12"],
      [i18n.t("Stop"), "Stop"],
      [i18n.t("Untranslated"), "Untranslated"],
      [i18n.tn("{n} call", "{n} calls", 1), "1 połączenie"],
      [i18n.tn("{n} call", "{n} calls", 3), "3 połączenia"],
      [i18n.tn("{n} call", "{n} calls", 12), "12 połączeń"],
      [i18n.tn("{n} call", "{n} calls", 22), "22 połączenia"],
      [i18n.tn("{n} match", "{n} matches", 2), "2 matches"],
    ];
    cases.forEach(([got, want], k) => check(`${order}-endian case ${k}`, got === want, `${got} != ${want}`));
  }

  // Damaged catalogs are refused with an error, never read out of bounds.
  const good = new Uint8Array(catalogs.little);
  const patched = (offset, value) => {
    const copy = good.slice();
    new DataView(copy.buffer).setUint32(offset, value, true);
    return copy.buffer;
  };
  const stringTable = new DataView(catalogs.little).getUint32(12, true);
  const damaged = {
    "empty": new ArrayBuffer(0),
    "bad magic": patched(0, 0x12345678),
    "header only": good.slice(0, 20).buffer,
    "cut inside the strings": good.slice(0, good.length - 10).buffer,
    "huge count": patched(8, 0xffffffff),
    "table beyond the end": patched(12, good.length - 4),
    "string beyond the end": patched(stringTable + 12, 0xfffffff0),
    "unknown revision": patched(4, 0x00020000),
  };
  for (const [name, buffer] of Object.entries(damaged)) {
    let error = null;
    try {
      i18n.parseMo(buffer);
    } catch (e) {
      error = e;
    }
    check(`damaged: ${name}`, error instanceof Error, "was accepted");
  }

  // Plural rules of the locales with more than two forms.
  const rules = {
    "nplurals=3; plural=(n%10==1 && n%100!=11 ? 0 : n%10>=2 && n%10<=4 && (n%100<10 || n%100>=20) ? 1 : 2);":
      [[1, 0], [21, 0], [11, 2], [3, 1], [14, 2], [25, 2], [0, 2]],
    "nplurals=6; plural=(n==0 ? 0 : n==1 ? 1 : n==2 ? 2 : n%100>=3 && n%100<=10 ? 3 : n%100>=11 ? 4 : 5);":
      [[0, 0], [1, 1], [2, 2], [3, 3], [10, 3], [11, 4], [99, 4], [100, 5], [102, 5], [103, 3]],
    "nplurals=4; plural=(n%100==1 ? 0 : n%100==2 ? 1 : n%100==3 || n%100==4 ? 2 : 3);":
      [[1, 0], [101, 0], [2, 1], [4, 2], [5, 3], [11, 3]],
    "nplurals=3; plural=(n%10==1 && n%100!=11 ? 0 : n%10>=2 && (n%100<10 || n%100>=20) ? 1 : 2);":
      [[1, 0], [11, 2], [2, 1], [10, 2], [21, 0], [19, 2]],
    "nplurals=3; plural=(n==1 ? 0 : n>=2 && n<=4 ? 1 : 2);": [[1, 0], [4, 1], [5, 2], [0, 2]],
    "nplurals=2; plural=(n > 1);": [[0, 0], [1, 0], [2, 1]],
    "nplurals=2; plural=!(n == 1);": [[1, 0], [7, 1]],
  };
  for (const [header, expected] of Object.entries(rules)) {
    const rule = i18n.pluralRule(`Plural-Forms: ${header}\n`);
    check(`rule ${header}`, rule !== null, "not parsed");
    if (rule) {
      for (const [n, form] of expected) check(`rule ${header} n=${n}`, rule(n) === form, `gave ${rule(n)}`);
    }
  }
  // A rule that is not a plain C expression is refused, never run.
  for (const header of ["plural=alert(1);", "plural=(n==1 ? 0 : 1;", "plural=n.constructor;"])
    check(`rule refused: ${header}`, i18n.pluralRule(header) === null);
} finally {
  rmSync(dir, { recursive: true, force: true });
}

if (failures) {
  console.error(`${failures} checks failed`);
  process.exit(1);
}
console.log("catalog reader: all checks passed");
