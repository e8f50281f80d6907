<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="it">
<context>
    <name>Agent</name>
    <message>
        <source>%1 Agent</source>
        <translation>%1 Agent</translation>
    </message>
    <message>
        <source>Can&apos;t connect to the %1 system service</source>
        <translation>Impossibile connettersi al servizio di sistema di %1</translation>
    </message>
    <message>
        <source>The connection to the %1 system service was lost</source>
        <translation>La connessione al servizio di sistema di %1 è stata persa</translation>
    </message>
    <message>
        <source>Enter your password to access Agent settings</source>
        <translation>Inserisci la password per accedere alle impostazioni dell’agente</translation>
    </message>
    <message>
        <source>Enter your password to stop filtering</source>
        <translation>Inserisci la password per interrompere il filtraggio</translation>
    </message>
    <message>
        <source>Enter your password to set the active profile</source>
        <translation>Inserisci la password per impostare il profilo attivo</translation>
    </message>
    <message>
        <source>Enter your password to uninstall %1</source>
        <translation>Inserisci la password per disinstallare %1</translation>
    </message>
    <message>
        <source>Can&apos;t reach %1</source>
        <translation>Impossibile raggiungere %1</translation>
    </message>
    <message>
        <source>A %1 system service error</source>
        <translation>Errore del servizio di sistema di %1</translation>
    </message>
    <message>
        <source>The service part of %1 Agent doesn&apos;t work. Probably the service is still starting. If it doesn&apos;t start in a minute try to start it manually. Notice, %1 Agent doesn&apos;t work without this service.</source>
        <translation>La parte di servizio di %1 Agent non funziona. Probabilmente il servizio si sta ancora avviando. Se non si avvia entro un minuto, prova ad avviarlo manualmente. Senza questo servizio %1 Agent non funziona.</translation>
    </message>
    <message>
        <source>Connecting to the %1 system service...</source>
        <translation>Connessione al servizio di sistema di %1...</translation>
    </message>
    <message>
        <source>The %1 system service is successfully connected and now waiting for the end of initialization steps</source>
        <translation>Il servizio di sistema di %1 è connesso e attende la fine dell’inizializzazione</translation>
    </message>
    <message>
        <source>Identification failed</source>
        <translation>Identificazione non riuscita</translation>
    </message>
    <message>
        <source>Filtering is disabled</source>
        <translation>Il filtraggio è disattivato</translation>
    </message>
    <message>
        <source>%1 Agent can&apos;t retrieve the information about internet connections on this computer. Probably the computer is disconnected from the internet or the type of your connection isn&apos;t supported by the Agent yet.</source>
        <translation>%1 Agent non riesce a ottenere informazioni sulle connessioni Internet di questo computer. Probabilmente il computer è disconnesso da Internet oppure il tipo di connessione non è ancora supportato dall’agente.</translation>
    </message>
    <message>
        <source>Filtering isn&apos;t activated on any of network connections. To activate it, click on the Settings button.</source>
        <translation>Il filtraggio non è attivo su nessuna connessione di rete. Per attivarlo, fai clic sul pulsante Impostazioni.</translation>
    </message>
    <message>
        <source>Filtering is turned off</source>
        <translation>Il filtraggio è spento</translation>
    </message>
    <message>
        <source>To turn on filtering, click the button in the bottom left corner</source>
        <translation>Per attivare il filtraggio, fai clic sul pulsante in basso a sinistra</translation>
    </message>
    <message>
        <source>The internet is under control</source>
        <translation>Internet è sotto controllo</translation>
    </message>
    <message>
        <source>This computer is successfully connected to the service and is filtered according to your account settings</source>
        <translation>Questo computer è connesso al servizio e viene filtrato secondo le impostazioni del tuo account</translation>
    </message>
    <message>
        <source>Can&apos;t set up identification of this computer on service</source>
        <translation>Impossibile configurare l’identificazione di questo computer sul servizio</translation>
    </message>
    <message>
        <source>Start filtering</source>
        <translation>Avvia il filtraggio</translation>
    </message>
    <message>
        <source>Filtering settings aren&apos;t available right now</source>
        <translation>Le impostazioni di filtro non sono disponibili al momento</translation>
    </message>
    <message>
        <source>Collecting information is in progress. This can take up to 2 minutes.</source>
        <translation>Raccolta delle informazioni in corso. Può richiedere fino a 2 minuti.</translation>
    </message>
</context>
<context>
    <name>AppUpdater</name>
    <message>
        <source>Latest version is installed</source>
        <translation>È installata l’ultima versione</translation>
    </message>
    <message>
        <source>%1 Agent</source>
        <translation>%1 Agent</translation>
    </message>
    <message>
        <source>The update location answered with HTTP status %1</source>
        <translation>La posizione degli aggiornamenti ha risposto con lo stato HTTP %1</translation>
    </message>
    <message>
        <source>The address %1 is not secure: updates come only from https addresses</source>
        <translation>L&apos;indirizzo %1 non è sicuro: gli aggiornamenti arrivano solo da indirizzi https</translation>
    </message>
    <message>
        <source>Invalid download url</source>
        <translation>Indirizzo di download non valido</translation>
    </message>
    <message>
        <source>The installer is larger than %1 MiB</source>
        <translation>Il programma di installazione supera %1 MiB</translation>
    </message>
    <message>
        <source>Downloading the update</source>
        <translation>Download dell&apos;aggiornamento</translation>
    </message>
</context>
<context>
    <name>FilterSettingsPage</name>
    <message>
        <source>Categories</source>
        <translation>Categorie</translation>
    </message>
    <message>
        <source>Check the categories of sites to block</source>
        <translation>Seleziona le categorie di siti da bloccare</translation>
    </message>
    <message>
        <source>Categories can&apos;t be changed while the White List only is used</source>
        <translation>Le categorie non si possono cambiare mentre si usa solo la lista bianca</translation>
    </message>
    <message>
        <source>White and black lists</source>
        <translation>Liste bianca e nera</translation>
    </message>
    <message>
        <source>White list</source>
        <translation>Lista bianca</translation>
    </message>
    <message>
        <source>Sites that are never blocked</source>
        <translation>Siti mai bloccati</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Aggiungi</translation>
    </message>
    <message>
        <source>Black list</source>
        <translation>Lista nera</translation>
    </message>
    <message>
        <source>Sites that are always blocked</source>
        <translation>Siti sempre bloccati</translation>
    </message>
    <message>
        <source>Aliases</source>
        <translation>Alias</translation>
    </message>
    <message>
        <source>A domain of the alias list resolves to the address you give it</source>
        <translation>Un dominio della lista alias si risolve nell&apos;indirizzo indicato</translation>
    </message>
    <message>
        <source>Schedule</source>
        <translation>Orari</translation>
    </message>
    <message>
        <source>Use the schedule</source>
        <translation>Usa gli orari</translation>
    </message>
    <message>
        <source>Hours in green: the profile filters. The hours are set on the account site.</source>
        <translation>Ore in verde: il profilo filtra. Gli orari si impostano sul sito dell&apos;account.</translation>
    </message>
    <message>
        <source>Advanced</source>
        <translation>Avanzate</translation>
    </message>
    <message>
        <source>Use the White List only</source>
        <translation>Usa solo la lista bianca</translation>
    </message>
    <message>
        <source>Block unknown sites</source>
        <translation>Blocca i siti sconosciuti</translation>
    </message>
    <message>
        <source>Force Safe Search</source>
        <translation>Forza SafeSearch</translation>
    </message>
    <message>
        <source>Force Restricted Mode for YouTube</source>
        <translation>Forza la modalità con restrizioni di YouTube</translation>
    </message>
</context>
<context>
    <name>MessageDialog</name>
    <message>
        <source>Close</source>
        <translation>Chiudi</translation>
    </message>
</context>
<context>
    <name>ProfilesSettingsPage</name>
    <message>
        <source>Profiles</source>
        <translation>Profili</translation>
    </message>
    <message>
        <source>Name of a new profile</source>
        <translation>Nome di un nuovo profilo</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Aggiungi</translation>
    </message>
    <message>
        <source>Local users</source>
        <translation>Utenti locali</translation>
    </message>
    <message>
        <source>Bind local users to profiles</source>
        <translation>Associa gli utenti locali ai profili</translation>
    </message>
    <message>
        <source>The profile of the user who logs in at this computer becomes the active one</source>
        <translation>Il profilo dell&apos;utente che accede a questo computer diventa quello attivo</translation>
    </message>
</context>
<context>
    <name>SystemInformationDialog</name>
    <message>
        <source>System information</source>
        <translation>Informazioni di sistema</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Salva</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annulla</translation>
    </message>
    <message>
        <source>No file name was given</source>
        <translation>Non è stato indicato alcun nome di file</translation>
    </message>
    <message>
        <source>Save system information</source>
        <translation>Salva le informazioni di sistema</translation>
    </message>
    <message>
        <source>Text Files (*.txt)</source>
        <translation>File di testo (*.txt)</translation>
    </message>
    <message>
        <source>The report cannot be saved to %1: %2</source>
        <translation>Impossibile salvare il rapporto in %1: %2</translation>
    </message>
</context>
<context>
    <name>TrayIcon</name>
    <message>
        <source>Stop filtering</source>
        <translation>Interrompi il filtraggio</translation>
    </message>
    <message>
        <source>Until start or reboot</source>
        <translation>Fino all’avvio o al riavvio</translation>
    </message>
    <message>
        <source>10 minutes</source>
        <translation>10 minuti</translation>
    </message>
    <message>
        <source>30 minutes</source>
        <translation>30 minuti</translation>
    </message>
    <message>
        <source>1 hour</source>
        <translation>1 ora</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Esci</translation>
    </message>
</context>
<context>
    <name>UserProfileMappingModel</name>
    <message>
        <source>Local user</source>
        <translation>Utente locale</translation>
    </message>
    <message>
        <source>Profile</source>
        <translation>Profilo</translation>
    </message>
</context>
<context>
    <name>Window</name>
    <message>
        <source>Minimize</source>
        <translation>Riduci a icona</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Chiudi</translation>
    </message>
    <message>
        <source>Home</source>
        <translation>Home</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Impostazioni</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Aiuto</translation>
    </message>
    <message>
        <source>Filtering</source>
        <translation>Filtraggio</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Password</translation>
    </message>
    <message>
        <source>&lt;a href=&quot;https://my.corvane.example/password-recovery&quot;&gt;Forgot my password&lt;/a&gt;</source>
        <translation>&lt;a href=&quot;https://my.corvane.example/password-recovery&quot;&gt;Password dimenticata&lt;/a&gt;</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annulla</translation>
    </message>
    <message>
        <source>Unlock</source>
        <translation>Sblocca</translation>
    </message>
    <message>
        <source>Email</source>
        <translation>E-mail</translation>
    </message>
    <message>
        <source>Sign in</source>
        <translation>Accedi</translation>
    </message>
    <message>
        <source>&lt;a href=&quot;https://my.corvane.example/signup&quot;&gt;No account?&lt;/a&gt;</source>
        <translation>&lt;a href=&quot;https://my.corvane.example/signup&quot;&gt;Non hai un account?&lt;/a&gt;</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Generale</translation>
    </message>
    <message>
        <source>Protect settings with password</source>
        <translation>Proteggi le impostazioni con password</translation>
    </message>
    <message>
        <source>Show Agent icon in the system tray</source>
        <translation>Mostra l’icona dell’agente nell’area di notifica</translation>
    </message>
    <message>
        <source>Automatically check for updates</source>
        <translation>Controlla automaticamente gli aggiornamenti</translation>
    </message>
    <message>
        <source>Network connections</source>
        <translation>Connessioni di rete</translation>
    </message>
    <message>
        <source>Protected network connections</source>
        <translation>Connessioni di rete protette</translation>
    </message>
    <message>
        <source>Advanced</source>
        <translation>Avanzate</translation>
    </message>
    <message>
        <source>DNS server</source>
        <translation>Server DNS</translation>
    </message>
    <message>
        <source>Use</source>
        <translation>Usa</translation>
    </message>
    <message>
        <source>Phone</source>
        <translation>Telefono</translation>
    </message>
    <message>
        <source>Website</source>
        <translation>Sito web</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>Versione</translation>
    </message>
    <message>
        <source>To make the work of technical support more effective please send a system information report with a description of your problem</source>
        <translation>Per rendere più efficace l’assistenza tecnica, invia un rapporto sulle informazioni di sistema con una descrizione del problema</translation>
    </message>
    <message>
        <source>Manual</source>
        <translation>Manuale</translation>
    </message>
    <message>
        <source>Get support</source>
        <translation>Ottieni assistenza</translation>
    </message>
    <message>
        <source>System information</source>
        <translation>Informazioni di sistema</translation>
    </message>
    <message>
        <source>Check for updates</source>
        <translation>Controlla aggiornamenti</translation>
    </message>
    <message>
        <source>Profiles</source>
        <translation>Profili</translation>
    </message>
    <message>
        <source>Content filtering settings</source>
        <translation>Impostazioni del filtraggio dei contenuti</translation>
    </message>
    <message>
        <source>Categories of sites, exceptions and aliases</source>
        <translation>Categorie di siti, eccezioni e alias</translation>
    </message>
    <message>
        <source>Filtering profiles and local users</source>
        <translation>Profili di filtraggio e utenti locali</translation>
    </message>
    <message>
        <source>Common settings</source>
        <translation>Impostazioni generali</translation>
    </message>
    <message>
        <source>Startup, updates and network connections</source>
        <translation>Avvio, aggiornamenti e connessioni di rete</translation>
    </message>
    <message>
        <source>Authentication settings</source>
        <translation>Impostazioni di autenticazione</translation>
    </message>
    <message>
        <source>Your login and password</source>
        <translation>Il tuo nome utente e la password</translation>
    </message>
    <message>
        <source>Your password is incorrect</source>
        <translation>La password non è corretta</translation>
    </message>
    <message>
        <source>Your login or password is incorrect</source>
        <translation>Nome utente o password non corretti</translation>
    </message>
    <message>
        <source>Active</source>
        <translation>Attivo</translation>
    </message>
    <message>
        <source>Do you really want to delete %1 profile?</source>
        <translation>Eliminare davvero il profilo %1?</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Sì</translation>
    </message>
    <message>
        <source>No</source>
        <translation>No</translation>
    </message>
    <message>
        <source>Details</source>
        <translation>Dettagli</translation>
    </message>
    <message>
        <source>Install</source>
        <translation>Installa</translation>
    </message>
    <message>
        <source>Hide</source>
        <translation>Nascondi</translation>
    </message>
    <message>
        <source>This update comes through the system&apos;s software updates</source>
        <translation>Questo aggiornamento arriva dagli aggiornamenti software del sistema</translation>
    </message>
    <message>
        <source>A new version of %1 (%2) is available</source>
        <translation>È disponibile una nuova versione di %1 (%2)</translation>
    </message>
    <message>
        <source>The profile whose settings are shown</source>
        <translation>Il profilo di cui sono mostrate le impostazioni</translation>
    </message>
</context>
</TS>
