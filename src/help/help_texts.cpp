#include "help_texts.h"

namespace {

const char kEnglish[] = R"(
<h1>Velmor — user's guide</h1>
<p>Velmor edits the configuration of the ignition and injection unit, moves it to and
from the unit over a serial line, shows the running engine live and keeps
configurations in <b>.ign</b> files.</p>
<h2>Connecting the unit</h2>
<p>Choose the port in the <b>Com</b> menu: <i>Com 1</i> … <i>Com 20</i>, or <i>Com Auto</i>,
which tries one port after another until the unit answers. The field at the top
right shows the port in use. While no unit answers, the red text
<i>No connection with PC</i> is shown and the port is reopened every 1.6 seconds.</p>
<h2>Reading, programming, verifying</h2>
<ul>
<li><b>Read</b> (F7) copies the configuration from the unit into the editor and then
compares it once more (<i>Verify: OK</i>).</li>
<li><b>Program</b> (F9) writes the configuration shown into the unit and verifies it.</li>
<li><b>Verify</b> (F8) compares the unit with the editor without changing either.</li>
<li><b>Programming after change</b> sends every change to the unit at once; only
the changed parts are written.</li>
</ul>
<p>Progress and results appear in the status line under the buttons; errors are red.</p>
<h2>Editing</h2>
<p>Each page (Bike, Advance, Inj. 1, Inj. 2, Position, Corrections, Sensors, Idle, N2O,
Gear, Race, Tuning, Monitor) holds one group of settings. Type a value and press
<b>Enter</b>, click the arrows, or click another field: the whole page is taken over.
Values outside a field's range are not accepted.</p>
<p>The injection maps are edited in per cent of a base injection time that follows
the motorcycle model and the rpm axis. <b>Ms</b> shows the times in milliseconds.
The menu <b>Jet 12</b> keeps the two injection maps separate, coupled (changes of map 1
move map 2 by the same amount) or equal (map 2 is always map 1).</p>
<p>While the engine runs, the cell in use is lit green. <b>Minus</b>/<b>Plus</b>
(F4/F5) step that cell, or every cell when <b>All</b> is ticked. <b>Undo</b> (Ctrl+Z)
and <b>Redo</b> (Ctrl+Alt+Z) go back and forth through the last 199 changes.</p>
<h2>Files</h2>
<ul>
<li><b>Open</b> (F3) loads a configuration; <b>Open for actual page</b> (Shift+F3) takes
only the page shown from a file.</li>
<li><b>Save</b> (F2) writes the configuration; the previous file is replaced only once
the new one is complete.</li>
<li><b>New</b> (Ctrl+N) sets the default configuration of the selected model;
<b>New for actual page</b> (Ctrl+Alt+N) only for the page shown.</li>
<li><b>Print</b> (Ctrl+P) prints the page shown; without a printer it is saved as a
PDF file in the documents folder.</li>
</ul>
<h2>Output tests and tuning</h2>
<p>The <b>Tuning</b> page fires single outputs of the unit (injectors, coils, pump, fan,
shift light, nitrous valve, rpm output, servo). <b>Tunning On-Off</b> (F6) switches the
closed-loop lambda tuning on and off — for experienced users only.</p>
<h2>Language</h2>
<p>The <b>Language</b> menu switches between English, German, French and Czech. The
program can also be started with ENGLISH, DEUTSCH, FRENCH or CESKY as its first
argument.</p>
)";

const char kGerman[] = R"(
<h1>Velmor — Benutzerhandbuch</h1>
<p>Velmor bearbeitet die Kenndaten der Zünd- und Einspritzeinheit, überträgt sie über
eine serielle Leitung zur Einheit und zurück, zeigt den laufenden Motor live an und
speichert Kenndaten in <b>.ign</b>-Dateien.</p>
<h2>Verbindung</h2>
<p>Im Menü <b>COM-Anschluß</b> wählen Sie <i>Com 1</i> … <i>Com 20</i> oder <i>Com Auto</i>,
das einen Anschluss nach dem anderen versucht, bis die Einheit antwortet. Solange
keine Einheit antwortet, erscheint rot <i>Keine Verbindung zum PC</i>, und der
Anschluss wird alle 1,6 Sekunden neu geöffnet.</p>
<h2>Lesen, Programmieren, Vergleichen</h2>
<ul>
<li><b>Lesen</b> (F7) holt die Kenndaten aus der Einheit und vergleicht sie danach.</li>
<li><b>Programmieren</b> (F9) schreibt die angezeigten Kenndaten in die Einheit und
vergleicht sie.</li>
<li><b>Vergleichen</b> (F8) vergleicht Einheit und Editor, ohne etwas zu ändern.</li>
<li><b>Programmierung nach Änderung</b> schreibt jede Änderung sofort; nur die
geänderten Teile werden übertragen.</li>
</ul>
<h2>Bearbeiten</h2>
<p>Jede Seite enthält eine Gruppe von Einstellungen. Wert eingeben und <b>Enter</b>
drücken, die Pfeile klicken oder ein anderes Feld anklicken: die ganze Seite wird
übernommen. Die Einspritzkennfelder werden in Prozent einer Grund-Einspritzzeit
bearbeitet; <b>Ms</b> zeigt die Zeiten in Millisekunden. Bei laufendem Motor ist die
benutzte Zelle grün. <b>Minus</b>/<b>Plus</b> (F4/F5) ändern diese Zelle oder mit
<b>Alles</b> alle Zellen. <b>Zurück</b> (Strg+Z) und <b>Wieder</b> (Strg+Alt+Z) gehen
durch die letzten 199 Änderungen.</p>
<h2>Dateien</h2>
<p><b>Öffnen</b> (F3), <b>Öffnen für aktual Seite</b> (Umschalt+F3), <b>Speichern</b> (F2),
<b>Neu</b> (Strg+N), <b>Drucken</b> (Strg+P; ohne Drucker als PDF-Datei im
Dokumentenordner).</p>
<h2>Sprache</h2>
<p>Das Menü <b>Sprache</b> wechselt zwischen Englisch, Deutsch, Französisch und
Tschechisch; beim Start auch mit ENGLISH, DEUTSCH, FRENCH oder CESKY als erstem
Argument.</p>
)";

const char kFrench[] = R"(
<h1>Velmor — guide de l'utilisateur</h1>
<p>Velmor modifie les paramètres du boîtier d'allumage et d'injection, les transfère
vers le boîtier et depuis celui-ci par une liaison série, affiche le moteur en marche
et conserve les paramètres dans des fichiers <b>.ign</b>.</p>
<h2>Connexion</h2>
<p>Dans le menu <b>Connection com</b>, choisissez <i>Com 1</i> … <i>Com 20</i> ou
<i>Com Auto</i>, qui essaie les ports l'un après l'autre jusqu'à la réponse du boîtier.
Tant qu'aucun boîtier ne répond, un texte rouge l'indique et le port est rouvert
toutes les 1,6 secondes.</p>
<h2>Lire, programmer, vérifier</h2>
<ul>
<li><b>Lire</b> (F7) copie les paramètres du boîtier puis les vérifie.</li>
<li><b>Programer</b> (F9) écrit les paramètres affichés dans le boîtier et les vérifie.</li>
<li><b>Verifier</b> (F8) compare le boîtier et l'éditeur sans rien changer.</li>
</ul>
<h2>Édition</h2>
<p>Chaque onglet contient un groupe de paramètres. Tapez une valeur puis <b>Entrée</b>,
cliquez sur les flèches ou sur un autre champ : toute la page est prise en compte.
Les cartes d'injection sont éditées en pour cent d'un temps d'injection de base ;
<b>Ms</b> affiche les temps en millisecondes. Moteur en marche, la case utilisée est
verte. <b>Minus</b>/<b>Plus</b> (F4/F5) modifient cette case, ou toutes les cases avec
<b>Tout</b>. <b>Undo</b> (Ctrl+Z) et <b>Redo</b> (Ctrl+Alt+Z) parcourent les 199
dernières modifications.</p>
<h2>Fichiers</h2>
<p><b>Ouvrir</b> (F3), <b>Open for actual page</b> (Maj+F3), <b>Mèmoriser</b> (F2),
<b>Nouveau</b> (Ctrl+N), <b>Imprimer</b> (Ctrl+P ; sans imprimante, un fichier PDF dans
le dossier des documents).</p>
<h2>Langue</h2>
<p>Le menu <b>Langue</b> choisit l'anglais, l'allemand, le français ou le tchèque ; au
démarrage aussi avec ENGLISH, DEUTSCH, FRENCH ou CESKY comme premier argument.</p>
)";

const char kCzech[] = R"(
<h1>Velmor — příručka uživatele</h1>
<p>Velmor upravuje parametry zapalovací a vstřikovací jednotky, přenáší je po
sériové lince do jednotky a zpět, zobrazuje běžící motor a ukládá parametry do
souborů <b>.ign</b>.</p>
<h2>Připojení</h2>
<p>V nabídce <b>Port</b> zvolte <i>Com 1</i> … <i>Com 20</i> nebo <i>Com Auto</i>, který
zkouší porty jeden po druhém, dokud jednotka neodpoví. Dokud žádná jednotka
neodpovídá, svítí červeně <i>Není spojení s PC</i> a port se každých 1,6 sekundy
otevírá znovu.</p>
<h2>Čtení, programování, verifikace</h2>
<ul>
<li><b>Číst</b> (F7) načte parametry z jednotky a poté je ověří.</li>
<li><b>Programovat</b> (F9) zapíše zobrazené parametry do jednotky a ověří je.</li>
<li><b>Verifikace</b> (F8) porovná jednotku s editorem, nic nemění.</li>
<li><b>Programování po změně</b> zapíše každou změnu ihned; přenáší se jen změněné
části.</li>
</ul>
<h2>Úpravy</h2>
<p>Každá záložka obsahuje jednu skupinu nastavení. Napište hodnotu a stiskněte
<b>Enter</b>, klikněte na šipky nebo do jiného pole: převezme se celá záložka.
Vstřikovací mapy se upravují v procentech základního času vstřiku; <b>Ms</b> ukáže
časy v milisekundách. Při běžícím motoru svítí použitá buňka zeleně.
<b>Minus</b>/<b>Plus</b> (F4/F5) mění tuto buňku, se zaškrtnutým <b>Vše</b> všechny
buňky. <b>Zpet</b> (Ctrl+Z) a <b>Znovu</b> (Ctrl+Alt+Z) procházejí posledních 199 změn.</p>
<h2>Soubory</h2>
<p><b>Otevřít</b> (F3), <b>Otevřít pro aktuální záložku</b> (Shift+F3), <b>Uložit</b> (F2),
<b>Nový</b> (Ctrl+N), <b>Tisk</b> (Ctrl+P; bez tiskárny jako soubor PDF ve složce
dokumentů).</p>
<h2>Jazyk</h2>
<p>Nabídka <b>Jazyk</b> přepíná angličtinu, němčinu, francouzštinu a češtinu; při
spuštění také prvním argumentem ENGLISH, DEUTSCH, FRENCH nebo CESKY.</p>
)";

}  // namespace

const std::vector<HelpDocument>& HelpDocuments() {
  static const std::vector<HelpDocument> docs = {
      {"Velmor_en.pdf", "Velmor — user's guide", kEnglish},
      {"Velmor_de.pdf", "Velmor — Benutzerhandbuch", kGerman},
      {"Velmor_fr.pdf", "Velmor — guide de l'utilisateur", kFrench},
      {"Velmor_cz.pdf", "Velmor — příručka uživatele", kCzech},
  };
  return docs;
}
