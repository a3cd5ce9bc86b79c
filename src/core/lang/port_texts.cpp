#include "lang/port_texts.h"

#include <array>

#include "lang/text_table.h"

namespace velmor {
namespace {

constexpr std::array<TextRow, static_cast<int>(PortText::Count)> kTexts{{
    {"Port diagnostics...", "Anschlussdiagnose...", "Diagnostic du port...", "Diagnostika portu..."},
    {"Port diagnostics", "Anschlussdiagnose", "Diagnostic du port", "Diagnostika portu"},
    {"Which device each port opens, why it does not open and how to fix it. The check only reads; it "
     "changes nothing on this computer.",
     "Welches Gerät jeder Anschluss öffnet, warum er sich nicht öffnet und wie man es behebt. Die Prüfung "
     "liest nur; sie ändert nichts an diesem Rechner.",
     "Le périphérique ouvert par chaque port, pourquoi il ne s'ouvre pas et comment y remédier. La "
     "vérification ne fait que lire ; elle ne modifie rien sur cet ordinateur.",
     "Které zařízení každý port otevírá, proč se neotevře a jak to napravit. Kontrola jen čte; na tomto "
     "počítači nic nemění."},
    {"Port:", "Anschluss:", "Port :", "Port:"},
    {"All ports", "Alle Anschlüsse", "Tous les ports", "Všechny porty"},
    {"Check again", "Erneut prüfen", "Vérifier à nouveau", "Zkontrolovat znovu"},
    {"Close", "Schließen", "Fermer", "Zavřít"},
    {"Diagnose...", "Diagnose...", "Diagnostiquer...", "Diagnostika..."},
    {"The port did not open: show why and how to fix it", "Der Anschluss öffnet sich nicht: zeigen, warum und wie man es behebt",
     "Le port ne s'ouvre pas : montrer pourquoi et comment y remédier", "Port se neotevřel: ukázat proč a jak to napravit"},
    {"no such device: no serial adapter is plugged in for %1",
     "kein solches Gerät: für %1 ist kein serieller Adapter angeschlossen",
     "périphérique absent : aucun adaptateur série n'est branché pour %1",
     "zařízení neexistuje: pro %1 není připojen žádný sériový adaptér"},
    {"plug the adapter in (it shows up as /dev/ttyUSB* or /dev/ttyACM*), or set %1=/dev/...",
     "den Adapter anschließen (er erscheint als /dev/ttyUSB* oder /dev/ttyACM*) oder %1=/dev/... setzen",
     "branchez l'adaptateur (il apparaît comme /dev/ttyUSB* ou /dev/ttyACM*), ou définissez %1=/dev/...",
     "připojte adaptér (objeví se jako /dev/ttyUSB* nebo /dev/ttyACM*), nebo nastavte %1=/dev/..."},
    {"no such device: %1 is not there", "kein solches Gerät: %1 ist nicht vorhanden",
     "périphérique absent : %1 n'existe pas", "zařízení neexistuje: %1 není k dispozici"},
    {"plug the adapter in, or choose another port in the Com menu",
     "den Adapter anschließen oder im Menü Com einen anderen Anschluss wählen",
     "branchez l'adaptateur, ou choisissez un autre port dans le menu Com",
     "připojte adaptér, nebo v nabídce Com zvolte jiný port"},
    {"plug the adapter in, or point %1 at the right device",
     "den Adapter anschließen oder %1 auf das richtige Gerät setzen",
     "branchez l'adaptateur, ou faites pointer %1 vers le bon périphérique",
     "připojte adaptér, nebo nastavte %1 na správné zařízení"},
    {"permission denied: %1", "Zugriff verweigert: %1", "accès refusé : %1", "přístup odepřen: %1"},
    {"%1 — you were added to the group %2 after this session started",
     "%1 — Sie wurden erst nach dem Beginn dieser Sitzung in die Gruppe %2 aufgenommen",
     "%1 — vous avez été ajouté au groupe %2 après le début de cette session",
     "%1 — do skupiny %2 jste byli přidáni až po začátku této relace"},
    {"log out and in again (or run: newgrp %1)", "ab- und wieder anmelden (oder ausführen: newgrp %1)",
     "déconnectez-vous puis reconnectez-vous (ou lancez : newgrp %1)",
     "odhlaste se a znovu přihlaste (nebo spusťte: newgrp %1)"},
    {"%1 — you are not in the group %2", "%1 — Sie sind nicht in der Gruppe %2",
     "%1 — vous n'êtes pas dans le groupe %2", "%1 — nejste ve skupině %2"},
    {"sudo usermod -aG %1 $USER, then log out and in again", "sudo usermod -aG %1 $USER, dann ab- und wieder anmelden",
     "sudo usermod -aG %1 $USER, puis déconnectez-vous et reconnectez-vous",
     "sudo usermod -aG %1 $USER, pak se odhlaste a znovu přihlaste"},
    {"%1 — no group gives access", "%1 — keine Gruppe gewährt Zugriff", "%1 — aucun groupe ne donne accès",
     "%1 — přístup nedává žádná skupina"},
    {"give the device to a group you are in, e.g. a udev rule with GROUP=\"dialout\", MODE=\"0660\"",
     "das Gerät einer Gruppe geben, in der Sie sind, z. B. mit einer udev-Regel mit GROUP=\"dialout\", "
     "MODE=\"0660\"",
     "attribuez le périphérique à un groupe dont vous faites partie, par ex. par une règle udev avec "
     "GROUP=\"dialout\", MODE=\"0660\"",
     "přidělte zařízení skupině, ve které jste, např. pravidlem udev s GROUP=\"dialout\", MODE=\"0660\""},
    {"busy: %1 is open in %2", "belegt: %1 ist geöffnet in %2", "occupé : %1 est ouvert dans %2",
     "obsazeno: %1 je otevřený v %2"},
    {"close that program, then try again", "dieses Programm schließen und es erneut versuchen",
     "fermez ce programme, puis réessayez", "zavřete ten program a zkuste to znovu"},
    {"a process", "einem Prozess", "un processus", "procesu"},
    {"warning: ModemManager runs and probes new %1 devices, which holds the port for some seconds after plugging in",
     "Warnung: ModemManager läuft und prüft neue %1-Geräte, was den Anschluss nach dem Einstecken einige Sekunden "
     "belegt",
     "avertissement : ModemManager tourne et sonde les nouveaux périphériques %1, ce qui occupe le port quelques "
     "secondes après le branchement",
     "upozornění: běží ModemManager a zkoumá nová zařízení %1, což port po připojení na několik sekund obsadí"},
    {"sudo systemctl stop ModemManager, or %1", "sudo systemctl stop ModemManager, oder %1",
     "sudo systemctl stop ModemManager, ou %1", "sudo systemctl stop ModemManager, nebo %1"},
    {"a udev rule for this adapter: %1", "eine udev-Regel für diesen Adapter: %1",
     "une règle udev pour cet adaptateur : %1", "pravidlo udev pro tento adaptér: %1"},
    {"disable it", "ihn abschalten", "désactivez-le", "vypněte ho"},
    {"warning: brltty runs and may claim %1 as a braille display",
     "Warnung: brltty läuft und könnte %1 als Braillezeile beanspruchen",
     "avertissement : brltty tourne et peut s'approprier %1 comme afficheur braille",
     "upozornění: běží brltty a může si %1 přivlastnit jako braillský řádek"},
    {"sudo systemctl mask brltty-udev.service brltty.service, or remove the brltty package if no braille display "
     "is used",
     "sudo systemctl mask brltty-udev.service brltty.service, oder das Paket brltty entfernen, wenn keine "
     "Braillezeile benutzt wird",
     "sudo systemctl mask brltty-udev.service brltty.service, ou supprimez le paquet brltty si aucun afficheur "
     "braille n'est utilisé",
     "sudo systemctl mask brltty-udev.service brltty.service, nebo odeberte balíček brltty, pokud se braillský "
     "řádek nepoužívá"},
    {"%1. Fix: %2", "%1. Abhilfe: %2", "%1. Solution : %2", "%1. Náprava: %2"},
    {", you can read and write it", ", Sie können es lesen und schreiben", ", vous pouvez le lire et l'écrire",
     ", můžete z něj číst i do něj zapisovat"},
    {", you cannot read and write it", ", Sie können es nicht lesen und schreiben",
     ", vous ne pouvez pas le lire et l'écrire", ", nemůžete z něj číst a zapisovat do něj"},
    {" (you are in %1)", " (Sie sind in %1)", " (vous êtes dans %1)", " (jste ve skupině %1)"},
    {" (you are not in %1)", " (Sie sind nicht in %1)", " (vous n'êtes pas dans %1)", " (nejste ve skupině %1)"},
    {", driver %1", ", Treiber %1", ", pilote %1", ", ovladač %1"},
    {"ok", "in Ordnung", "ok", "v pořádku"},
    {"fix: %1", "Abhilfe: %1", "solution : %1", "náprava: %1"},
    {": no device", ": kein Gerät", " : aucun périphérique", ": žádné zařízení"},
    {"The open files of {%1 process|%1 processes} of other users cannot be seen; run with sudo to check them too.",
     "Die offenen Dateien von {%1 Prozess|%1 Prozessen} anderer Benutzer sind nicht einsehbar; mit sudo starten, "
     "um auch sie zu prüfen.",
     "Les fichiers ouverts {de %1 processus|de %1 processus} d'autres utilisateurs ne sont pas visibles ; lancez "
     "avec sudo pour les vérifier aussi.",
     "Otevřené soubory {%1 procesu|%1 procesů|%1 procesů} jiných uživatelů nejsou vidět; spusťte program se sudo, "
     "aby se zkontrolovaly i ty."},
    {"no such device", "kein solches Gerät", "périphérique absent", "zařízení neexistuje"},
    {"no such device: %1", "kein solches Gerät: %1", "périphérique absent : %1", "zařízení neexistuje: %1"},
    {"busy: another program holds %1", "belegt: ein anderes Programm hält %1", "occupé : un autre programme tient %1",
     "obsazeno: %1 drží jiný program"},
    {"permission denied: %1 (add the user to the dialout group: sudo usermod -aG dialout $USER, then log in again)",
     "Zugriff verweigert: %1 (den Benutzer in die Gruppe dialout aufnehmen: sudo usermod -aG dialout $USER, dann "
     "neu anmelden)",
     "accès refusé : %1 (ajoutez l'utilisateur au groupe dialout : sudo usermod -aG dialout $USER, puis "
     "reconnectez-vous)",
     "přístup odepřen: %1 (přidejte uživatele do skupiny dialout: sudo usermod -aG dialout $USER, pak se znovu "
     "přihlaste)"},
    {"cannot open %1", "%1 lässt sich nicht öffnen", "impossible d'ouvrir %1", "%1 nelze otevřít"},
    {"cannot set 57600 8N1 on %1", "57600 8N1 lässt sich an %1 nicht einstellen", "impossible de régler 57600 8N1 sur %1",
     "na %1 nelze nastavit 57600 8N1"},
    {"not a serial device: %1 is %2", "kein serielles Gerät: %1 ist %2", "pas un périphérique série : %1 est %2",
     "není sériové zařízení: %1 je %2"},
    {"choose the serial adapter's port in the Com menu", "den Anschluss des seriellen Adapters im Menü COM wählen",
     "choisissez le port de l'adaptateur série dans le menu Com", "zvolte port sériového adaptéru v nabídce Port"},
    {"point %1 at the serial adapter (/dev/ttyUSB* or /dev/ttyACM*)",
     "%1 auf den seriellen Adapter zeigen lassen (/dev/ttyUSB* oder /dev/ttyACM*)",
     "faites pointer %1 vers l'adaptateur série (/dev/ttyUSB* ou /dev/ttyACM*)",
     "nastavte %1 na sériový adaptér (/dev/ttyUSB* nebo /dev/ttyACM*)"},
    {"a regular file", "eine gewöhnliche Datei", "un fichier ordinaire", "obyčejný soubor"},
    {"a folder", "ein Ordner", "un dossier", "složka"},
    {"a FIFO", "ein FIFO", "un FIFO", "FIFO"},
    {"a socket", "ein Socket", "un socket", "socket"},
    {"a block device", "ein Blockgerät", "un périphérique bloc", "blokové zařízení"},
    {"not a device", "kein Gerät", "pas un périphérique", "není zařízení"},
    {"a device that is no serial port", "ein Gerät, das kein serieller Anschluss ist",
     "un périphérique qui n'est pas un port série", "zařízení, které není sériový port"},
}};

}  // namespace

std::string_view PortCaption(PortText text, LanguageCode language) { return PickText(kTexts, text, language); }

}  // namespace velmor
