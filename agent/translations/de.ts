<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>Agent</name>
    <message>
        <source>%1 Agent</source>
        <translation>%1 Agent</translation>
    </message>
    <message>
        <source>Can&apos;t connect to the %1 system service</source>
        <translation>Keine Verbindung zum Systemdienst von %1</translation>
    </message>
    <message>
        <source>The connection to the %1 system service was lost</source>
        <translation>Die Verbindung zum Systemdienst von %1 wurde unterbrochen</translation>
    </message>
    <message>
        <source>Enter your password to access Agent settings</source>
        <translation>Geben Sie Ihr Passwort ein, um die Einstellungen zu öffnen</translation>
    </message>
    <message>
        <source>Enter your password to stop filtering</source>
        <translation>Geben Sie Ihr Passwort ein, um die Filterung zu beenden</translation>
    </message>
    <message>
        <source>Enter your password to set the active profile</source>
        <translation>Geben Sie Ihr Passwort ein, um das aktive Profil festzulegen</translation>
    </message>
    <message>
        <source>Enter your password to uninstall %1</source>
        <translation>Geben Sie Ihr Passwort ein, um %1 zu deinstallieren</translation>
    </message>
    <message>
        <source>Can&apos;t reach %1</source>
        <translation>%1 ist nicht erreichbar</translation>
    </message>
    <message>
        <source>A %1 system service error</source>
        <translation>Fehler des Systemdienstes von %1</translation>
    </message>
    <message>
        <source>The service part of %1 Agent doesn&apos;t work. Probably the service is still starting. If it doesn&apos;t start in a minute try to start it manually. Notice, %1 Agent doesn&apos;t work without this service.</source>
        <translation>Der Dienstteil von %1 Agent arbeitet nicht. Vermutlich startet der Dienst noch. Falls er nicht innerhalb einer Minute startet, starten Sie ihn von Hand. Ohne diesen Dienst funktioniert %1 Agent nicht.</translation>
    </message>
    <message>
        <source>Connecting to the %1 system service...</source>
        <translation>Verbindung zum Systemdienst von %1 wird hergestellt...</translation>
    </message>
    <message>
        <source>The %1 system service is successfully connected and now waiting for the end of initialization steps</source>
        <translation>Der Systemdienst von %1 ist verbunden und wartet auf das Ende der Initialisierung</translation>
    </message>
    <message>
        <source>Identification failed</source>
        <translation>Identifizierung fehlgeschlagen</translation>
    </message>
    <message>
        <source>Filtering is disabled</source>
        <translation>Filterung ist deaktiviert</translation>
    </message>
    <message>
        <source>%1 Agent can&apos;t retrieve the information about internet connections on this computer. Probably the computer is disconnected from the internet or the type of your connection isn&apos;t supported by the Agent yet.</source>
        <translation>%1 Agent kann keine Angaben über die Internetverbindungen dieses Computers abrufen. Vermutlich ist der Computer nicht mit dem Internet verbunden, oder Ihre Verbindungsart wird vom Agent noch nicht unterstützt.</translation>
    </message>
    <message>
        <source>Filtering isn&apos;t activated on any of network connections. To activate it, click on the Settings button.</source>
        <translation>Die Filterung ist für keine Netzwerkverbindung aktiviert. Klicken Sie zum Aktivieren auf „Einstellungen“.</translation>
    </message>
    <message>
        <source>Filtering is turned off</source>
        <translation>Filterung ist ausgeschaltet</translation>
    </message>
    <message>
        <source>To turn on filtering, click the button in the bottom left corner</source>
        <translation>Klicken Sie zum Einschalten auf den Schalter unten links</translation>
    </message>
    <message>
        <source>The internet is under control</source>
        <translation>Das Internet ist unter Kontrolle</translation>
    </message>
    <message>
        <source>This computer is successfully connected to the service and is filtered according to your account settings</source>
        <translation>Dieser Computer ist mit dem Dienst verbunden und wird nach den Einstellungen Ihres Kontos gefiltert</translation>
    </message>
    <message>
        <source>Can&apos;t set up identification of this computer on service</source>
        <translation>Die Identifizierung dieses Computers beim Dienst ist nicht möglich</translation>
    </message>
    <message>
        <source>Start filtering</source>
        <translation>Filterung starten</translation>
    </message>
    <message>
        <source>Filtering settings aren&apos;t available right now</source>
        <translation>Die Filtereinstellungen sind gerade nicht verfügbar</translation>
    </message>
    <message>
        <source>Collecting information is in progress. This can take up to 2 minutes.</source>
        <translation>Die Informationen werden gesammelt. Das kann bis zu 2 Minuten dauern.</translation>
    </message>
</context>
<context>
    <name>AppUpdater</name>
    <message>
        <source>Latest version is installed</source>
        <translation>Die neueste Version ist installiert</translation>
    </message>
    <message>
        <source>%1 Agent</source>
        <translation>%1 Agent</translation>
    </message>
    <message>
        <source>The update location answered with HTTP status %1</source>
        <translation>Der Update-Speicherort antwortete mit dem HTTP-Status %1</translation>
    </message>
    <message>
        <source>The address %1 is not secure: updates come only from https addresses</source>
        <translation>Die Adresse %1 ist nicht sicher: Updates kommen nur von https-Adressen</translation>
    </message>
    <message>
        <source>Invalid download url</source>
        <translation>Ungültige Download-Adresse</translation>
    </message>
    <message>
        <source>The installer is larger than %1 MiB</source>
        <translation>Das Installationspaket ist größer als %1 MiB</translation>
    </message>
    <message>
        <source>Downloading the update</source>
        <translation>Das Update wird heruntergeladen</translation>
    </message>
</context>
<context>
    <name>FilterSettingsPage</name>
    <message>
        <source>Categories</source>
        <translation>Kategorien</translation>
    </message>
    <message>
        <source>Check the categories of sites to block</source>
        <translation>Wählen Sie die Kategorien von Websites, die gesperrt werden</translation>
    </message>
    <message>
        <source>Categories can&apos;t be changed while the White List only is used</source>
        <translation>Die Kategorien können nicht geändert werden, solange nur die Whitelist gilt</translation>
    </message>
    <message>
        <source>White and black lists</source>
        <translation>Whitelist und Blacklist</translation>
    </message>
    <message>
        <source>White list</source>
        <translation>Whitelist</translation>
    </message>
    <message>
        <source>Sites that are never blocked</source>
        <translation>Websites, die nie gesperrt werden</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>Black list</source>
        <translation>Blacklist</translation>
    </message>
    <message>
        <source>Sites that are always blocked</source>
        <translation>Websites, die immer gesperrt werden</translation>
    </message>
    <message>
        <source>Aliases</source>
        <translation>Aliasse</translation>
    </message>
    <message>
        <source>A domain of the alias list resolves to the address you give it</source>
        <translation>Eine Domain der Aliasliste wird zur angegebenen Adresse aufgelöst</translation>
    </message>
    <message>
        <source>Schedule</source>
        <translation>Zeitplan</translation>
    </message>
    <message>
        <source>Use the schedule</source>
        <translation>Zeitplan verwenden</translation>
    </message>
    <message>
        <source>Hours in green: the profile filters. The hours are set on the account site.</source>
        <translation>Grüne Stunden: Das Profil filtert. Die Zeiten werden auf der Kontoseite festgelegt.</translation>
    </message>
    <message>
        <source>Advanced</source>
        <translation>Erweitert</translation>
    </message>
    <message>
        <source>Use the White List only</source>
        <translation>Nur die Whitelist verwenden</translation>
    </message>
    <message>
        <source>Block unknown sites</source>
        <translation>Unbekannte Websites sperren</translation>
    </message>
    <message>
        <source>Force Safe Search</source>
        <translation>SafeSearch erzwingen</translation>
    </message>
    <message>
        <source>Force Restricted Mode for YouTube</source>
        <translation>Eingeschränkten Modus für YouTube erzwingen</translation>
    </message>
</context>
<context>
    <name>MessageDialog</name>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
</context>
<context>
    <name>ProfilesSettingsPage</name>
    <message>
        <source>Profiles</source>
        <translation>Profile</translation>
    </message>
    <message>
        <source>Name of a new profile</source>
        <translation>Name eines neuen Profils</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>Local users</source>
        <translation>Lokale Benutzer</translation>
    </message>
    <message>
        <source>Bind local users to profiles</source>
        <translation>Lokale Benutzer an Profile binden</translation>
    </message>
    <message>
        <source>The profile of the user who logs in at this computer becomes the active one</source>
        <translation>Das Profil des Benutzers, der sich an diesem Computer anmeldet, wird aktiv</translation>
    </message>
</context>
<context>
    <name>SystemInformationDialog</name>
    <message>
        <source>System information</source>
        <translation>Systeminformationen</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>No file name was given</source>
        <translation>Es wurde kein Dateiname angegeben</translation>
    </message>
    <message>
        <source>Save system information</source>
        <translation>Systeminformationen speichern</translation>
    </message>
    <message>
        <source>Text Files (*.txt)</source>
        <translation>Textdateien (*.txt)</translation>
    </message>
    <message>
        <source>The report cannot be saved to %1: %2</source>
        <translation>Der Bericht kann nicht unter %1 gespeichert werden: %2</translation>
    </message>
</context>
<context>
    <name>TrayIcon</name>
    <message>
        <source>Stop filtering</source>
        <translation>Filterung beenden</translation>
    </message>
    <message>
        <source>Until start or reboot</source>
        <translation>Bis zum Start oder Neustart</translation>
    </message>
    <message>
        <source>10 minutes</source>
        <translation>10 Minuten</translation>
    </message>
    <message>
        <source>30 minutes</source>
        <translation>30 Minuten</translation>
    </message>
    <message>
        <source>1 hour</source>
        <translation>1 Stunde</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Beenden</translation>
    </message>
</context>
<context>
    <name>UserProfileMappingModel</name>
    <message>
        <source>Local user</source>
        <translation>Lokaler Benutzer</translation>
    </message>
    <message>
        <source>Profile</source>
        <translation>Profil</translation>
    </message>
</context>
<context>
    <name>Window</name>
    <message>
        <source>Minimize</source>
        <translation>Minimieren</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Home</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <source>Filtering</source>
        <translation>Filterung</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Passwort</translation>
    </message>
    <message>
        <source>&lt;a href=&quot;https://my.corvane.example/password-recovery&quot;&gt;Forgot my password&lt;/a&gt;</source>
        <translation>&lt;a href=&quot;https://my.corvane.example/password-recovery&quot;&gt;Passwort vergessen&lt;/a&gt;</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Unlock</source>
        <translation>Entsperren</translation>
    </message>
    <message>
        <source>Email</source>
        <translation>E-Mail</translation>
    </message>
    <message>
        <source>Sign in</source>
        <translation>Anmelden</translation>
    </message>
    <message>
        <source>&lt;a href=&quot;https://my.corvane.example/signup&quot;&gt;No account?&lt;/a&gt;</source>
        <translation>&lt;a href=&quot;https://my.corvane.example/signup&quot;&gt;Kein Konto?&lt;/a&gt;</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Allgemein</translation>
    </message>
    <message>
        <source>Protect settings with password</source>
        <translation>Einstellungen mit Passwort schützen</translation>
    </message>
    <message>
        <source>Show Agent icon in the system tray</source>
        <translation>Agent-Symbol im Systembereich anzeigen</translation>
    </message>
    <message>
        <source>Automatically check for updates</source>
        <translation>Automatisch nach Aktualisierungen suchen</translation>
    </message>
    <message>
        <source>Network connections</source>
        <translation>Netzwerkverbindungen</translation>
    </message>
    <message>
        <source>Protected network connections</source>
        <translation>Geschützte Netzwerkverbindungen</translation>
    </message>
    <message>
        <source>Advanced</source>
        <translation>Erweitert</translation>
    </message>
    <message>
        <source>DNS server</source>
        <translation>DNS-Server</translation>
    </message>
    <message>
        <source>Use</source>
        <translation>Verwenden</translation>
    </message>
    <message>
        <source>Phone</source>
        <translation>Telefon</translation>
    </message>
    <message>
        <source>Website</source>
        <translation>Website</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>To make the work of technical support more effective please send a system information report with a description of your problem</source>
        <translation>Damit der technische Support Ihnen besser helfen kann, senden Sie bitte einen Systeminformationsbericht mit einer Beschreibung Ihres Problems</translation>
    </message>
    <message>
        <source>Manual</source>
        <translation>Handbuch</translation>
    </message>
    <message>
        <source>Get support</source>
        <translation>Support erhalten</translation>
    </message>
    <message>
        <source>System information</source>
        <translation>Systeminformationen</translation>
    </message>
    <message>
        <source>Check for updates</source>
        <translation>Nach Aktualisierungen suchen</translation>
    </message>
    <message>
        <source>Profiles</source>
        <translation>Profile</translation>
    </message>
    <message>
        <source>Content filtering settings</source>
        <translation>Einstellungen der Inhaltsfilterung</translation>
    </message>
    <message>
        <source>Categories of sites, exceptions and aliases</source>
        <translation>Kategorien von Websites, Ausnahmen und Aliasse</translation>
    </message>
    <message>
        <source>Filtering profiles and local users</source>
        <translation>Filterprofile und lokale Benutzer</translation>
    </message>
    <message>
        <source>Common settings</source>
        <translation>Allgemeine Einstellungen</translation>
    </message>
    <message>
        <source>Startup, updates and network connections</source>
        <translation>Start, Aktualisierungen und Netzwerkverbindungen</translation>
    </message>
    <message>
        <source>Authentication settings</source>
        <translation>Anmeldeeinstellungen</translation>
    </message>
    <message>
        <source>Your login and password</source>
        <translation>Ihr Benutzername und Passwort</translation>
    </message>
    <message>
        <source>Your password is incorrect</source>
        <translation>Ihr Passwort ist falsch</translation>
    </message>
    <message>
        <source>Your login or password is incorrect</source>
        <translation>Benutzername oder Passwort ist falsch</translation>
    </message>
    <message>
        <source>Active</source>
        <translation>Aktiv</translation>
    </message>
    <message>
        <source>Do you really want to delete %1 profile?</source>
        <translation>Möchten Sie das Profil %1 wirklich löschen?</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Ja</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Nein</translation>
    </message>
    <message>
        <source>Details</source>
        <translation>Details</translation>
    </message>
    <message>
        <source>Install</source>
        <translation>Installieren</translation>
    </message>
    <message>
        <source>Hide</source>
        <translation>Ausblenden</translation>
    </message>
    <message>
        <source>This update comes through the system&apos;s software updates</source>
        <translation>Dieses Update kommt über die Softwareaktualisierung des Systems</translation>
    </message>
    <message>
        <source>A new version of %1 (%2) is available</source>
        <translation>Eine neue Version von %1 (%2) ist verfügbar</translation>
    </message>
    <message>
        <source>The profile whose settings are shown</source>
        <translation>Das Profil, dessen Einstellungen angezeigt werden</translation>
    </message>
</context>
</TS>
