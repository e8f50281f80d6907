<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="it">
<context>
    <name>Agent</name>
    <message>
        <source>%1 Agent</source>
        <translation>%1 Agent</translation>
    </message>
    <message>
        <source>Can't connect to the %1 system service</source>
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
        <source>Can't reach %1</source>
        <translation>Impossibile raggiungere %1</translation>
    </message>
    <message>
        <source>A %1 system service error</source>
        <translation>Errore del servizio di sistema di %1</translation>
    </message>
    <message>
        <source>The service part of %1 Agent doesn't work. Probably the service is still starting. If it doesn't start in a minute try to start it manually. Notice, %1 Agent doesn't work without this service.</source>
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
        <source>%1 Agent can't retrieve the information about internet connections on this computer. Probably the computer is disconnected from the internet or the type of your connection isn't supported by the Agent yet.</source>
        <translation>%1 Agent non riesce a ottenere informazioni sulle connessioni Internet di questo computer. Probabilmente il computer è disconnesso da Internet oppure il tipo di connessione non è ancora supportato dall’agente.</translation>
    </message>
    <message>
        <source>Filtering isn't activated on any of network connections. To activate it, click on the Settings button.</source>
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
        <source>Can't set up identification of this computer on service</source>
        <translation>Impossibile configurare l’identificazione di questo computer sul servizio</translation>
    </message>
    <message>
        <source>Start filtering</source>
        <translation>Avvia il filtraggio</translation>
    </message>
</context>
<context>
    <name>AppUpdater</name>
    <message>
        <source>Latest version is installed</source>
        <translation>È installata l’ultima versione</translation>
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
        <source>&lt;a href="https://my.corvane.example/password-recovery"&gt;Forgot my password&lt;/a&gt;</source>
        <translation>&lt;a href="https://my.corvane.example/password-recovery"&gt;Password dimenticata&lt;/a&gt;</translation>
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
        <source>&lt;a href="https://my.corvane.example/signup"&gt;No account?&lt;/a&gt;</source>
        <translation>&lt;a href="https://my.corvane.example/signup"&gt;Non hai un account?&lt;/a&gt;</translation>
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
</context>
</TS>