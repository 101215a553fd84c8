#!/usr/bin/env bash
# Makes (once) a small demo catalog with a few sample source files and a backup folder, so that
# `make run` shows a filled list at once.
set -euo pipefail
mkdir -p "$1"
demo="$(cd "$1" && pwd)"
catalog="$demo/Demo-Katalog.bvk"
[ -f "$catalog" ] && exit 0
mkdir -p "$demo/Quellen/Briefe" "$demo/Quellen/Fotos" "$demo/Sicherung/Briefe" "$demo/Sicherung/Fotos"
printf 'Liebe Grüße aus Bravel.\n' > "$demo/Quellen/Briefe/Brief an Oma.txt"
printf 'Quartalszahlen 2026\n' > "$demo/Quellen/Briefe/Bericht Ü3.txt"
head -c 300000 /dev/urandom > "$demo/Quellen/Fotos/Urlaub.jpg"
head -c 5000 /dev/urandom > "$demo/Quellen/Fotos/Skizze.png"
sqlite3 "$catalog" >/dev/null <<SQL
PRAGMA journal_mode=WAL;
CREATE TABLE FILES (ID INTEGER PRIMARY KEY AUTOINCREMENT, Eingangsdatei VARCHAR(255),
  Sicherungspfad VARCHAR(255), Dateigroesse INTEGER, Dateidatum TEXT, Status TEXT,
  Computerstatus TEXT, Bemerkung TEXT);
CREATE UNIQUE INDEX "ID" ON FILES (ID);
INSERT INTO FILES (Eingangsdatei, Sicherungspfad, Status, Computerstatus, Bemerkung) VALUES
  ('$demo/Quellen/Briefe/Brief an Oma.txt', '$demo/Sicherung/Briefe', '', '', ''),
  ('$demo/Quellen/Briefe/Bericht Ü3.txt', '$demo/Sicherung/Briefe', '', '', ''),
  ('$demo/Quellen/Fotos/Urlaub.jpg', '$demo/Sicherung/Fotos', '', '', ''),
  ('$demo/Quellen/Fotos/Skizze.png', '$demo/Sicherung/Fotos', '', '', ''),
  ('$demo/Quellen/Fotos/verschwunden.jpg', '$demo/Sicherung/Fotos', '', '', '');
SQL
echo "Demo catalog: $catalog"
