<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="fr">
<context>
    <name>Agent</name>
    <message>
        <source>%1 Agent</source>
        <translation>%1 Agent</translation>
    </message>
    <message>
        <source>Can't connect to the %1 system service</source>
        <translation>Impossible de se connecter au service système %1</translation>
    </message>
    <message>
        <source>The connection to the %1 system service was lost</source>
        <translation>La connexion au service système %1 a été perdue</translation>
    </message>
    <message>
        <source>Enter your password to access Agent settings</source>
        <translation>Saisissez votre mot de passe pour accéder aux paramètres de l’agent</translation>
    </message>
    <message>
        <source>Enter your password to stop filtering</source>
        <translation>Saisissez votre mot de passe pour arrêter le filtrage</translation>
    </message>
    <message>
        <source>Enter your password to set the active profile</source>
        <translation>Saisissez votre mot de passe pour choisir le profil actif</translation>
    </message>
    <message>
        <source>Enter your password to uninstall %1</source>
        <translation>Saisissez votre mot de passe pour désinstaller %1</translation>
    </message>
    <message>
        <source>Can't reach %1</source>
        <translation>Impossible de joindre %1</translation>
    </message>
    <message>
        <source>A %1 system service error</source>
        <translation>Erreur du service système %1</translation>
    </message>
    <message>
        <source>The service part of %1 Agent doesn't work. Probably the service is still starting. If it doesn't start in a minute try to start it manually. Notice, %1 Agent doesn't work without this service.</source>
        <translation>La partie service de %1 Agent ne fonctionne pas. Le service est probablement encore en cours de démarrage. S’il ne démarre pas d’ici une minute, essayez de le démarrer manuellement. Sans ce service, %1 Agent ne fonctionne pas.</translation>
    </message>
    <message>
        <source>Connecting to the %1 system service...</source>
        <translation>Connexion au service système %1...</translation>
    </message>
    <message>
        <source>The %1 system service is successfully connected and now waiting for the end of initialization steps</source>
        <translation>Le service système %1 est connecté et attend la fin de l’initialisation</translation>
    </message>
    <message>
        <source>Identification failed</source>
        <translation>Échec de l’identification</translation>
    </message>
    <message>
        <source>Filtering is disabled</source>
        <translation>Le filtrage est désactivé</translation>
    </message>
    <message>
        <source>%1 Agent can't retrieve the information about internet connections on this computer. Probably the computer is disconnected from the internet or the type of your connection isn't supported by the Agent yet.</source>
        <translation>%1 Agent ne parvient pas à obtenir les informations sur les connexions Internet de cet ordinateur. L’ordinateur est probablement déconnecté d’Internet, ou votre type de connexion n’est pas encore pris en charge par l’agent.</translation>
    </message>
    <message>
        <source>Filtering isn't activated on any of network connections. To activate it, click on the Settings button.</source>
        <translation>Le filtrage n’est activé sur aucune connexion réseau. Pour l’activer, cliquez sur le bouton Paramètres.</translation>
    </message>
    <message>
        <source>Filtering is turned off</source>
        <translation>Le filtrage est arrêté</translation>
    </message>
    <message>
        <source>To turn on filtering, click the button in the bottom left corner</source>
        <translation>Pour activer le filtrage, cliquez sur le bouton en bas à gauche</translation>
    </message>
    <message>
        <source>The internet is under control</source>
        <translation>Internet est sous contrôle</translation>
    </message>
    <message>
        <source>This computer is successfully connected to the service and is filtered according to your account settings</source>
        <translation>Cet ordinateur est connecté au service et filtré selon les paramètres de votre compte</translation>
    </message>
    <message>
        <source>Can't set up identification of this computer on service</source>
        <translation>Impossible de configurer l’identification de cet ordinateur auprès du service</translation>
    </message>
    <message>
        <source>Start filtering</source>
        <translation>Démarrer le filtrage</translation>
    </message>
</context>
<context>
    <name>AppUpdater</name>
    <message>
        <source>Latest version is installed</source>
        <translation>La dernière version est installée</translation>
    </message>
</context>
<context>
    <name>TrayIcon</name>
    <message>
        <source>Stop filtering</source>
        <translation>Arrêter le filtrage</translation>
    </message>
    <message>
        <source>Until start or reboot</source>
        <translation>Jusqu’au démarrage ou au redémarrage</translation>
    </message>
    <message>
        <source>10 minutes</source>
        <translation>10 minutes</translation>
    </message>
    <message>
        <source>30 minutes</source>
        <translation>30 minutes</translation>
    </message>
    <message>
        <source>1 hour</source>
        <translation>1 heure</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Quitter</translation>
    </message>
</context>
<context>
    <name>Window</name>
    <message>
        <source>Minimize</source>
        <translation>Réduire</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>Home</source>
        <translation>Accueil</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Paramètres</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Aide</translation>
    </message>
    <message>
        <source>Filtering</source>
        <translation>Filtrage</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Mot de passe</translation>
    </message>
    <message>
        <source>&lt;a href="https://my.corvane.example/password-recovery"&gt;Forgot my password&lt;/a&gt;</source>
        <translation>&lt;a href="https://my.corvane.example/password-recovery"&gt;Mot de passe oublié&lt;/a&gt;</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Unlock</source>
        <translation>Déverrouiller</translation>
    </message>
    <message>
        <source>Email</source>
        <translation>Adresse e-mail</translation>
    </message>
    <message>
        <source>Sign in</source>
        <translation>Se connecter</translation>
    </message>
    <message>
        <source>&lt;a href="https://my.corvane.example/signup"&gt;No account?&lt;/a&gt;</source>
        <translation>&lt;a href="https://my.corvane.example/signup"&gt;Pas de compte ?&lt;/a&gt;</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Général</translation>
    </message>
    <message>
        <source>Protect settings with password</source>
        <translation>Protéger les paramètres par mot de passe</translation>
    </message>
    <message>
        <source>Show Agent icon in the system tray</source>
        <translation>Afficher l’icône de l’agent dans la zone de notification</translation>
    </message>
    <message>
        <source>Automatically check for updates</source>
        <translation>Rechercher automatiquement les mises à jour</translation>
    </message>
    <message>
        <source>Network connections</source>
        <translation>Connexions réseau</translation>
    </message>
    <message>
        <source>Protected network connections</source>
        <translation>Connexions réseau protégées</translation>
    </message>
    <message>
        <source>Advanced</source>
        <translation>Avancé</translation>
    </message>
    <message>
        <source>DNS server</source>
        <translation>Serveur DNS</translation>
    </message>
    <message>
        <source>Use</source>
        <translation>Utiliser</translation>
    </message>
    <message>
        <source>Phone</source>
        <translation>Téléphone</translation>
    </message>
    <message>
        <source>Website</source>
        <translation>Site web</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>To make the work of technical support more effective please send a system information report with a description of your problem</source>
        <translation>Pour aider le support technique, envoyez un rapport d’informations système avec une description de votre problème</translation>
    </message>
    <message>
        <source>Manual</source>
        <translation>Manuel</translation>
    </message>
    <message>
        <source>Get support</source>
        <translation>Obtenir de l’aide</translation>
    </message>
    <message>
        <source>System information</source>
        <translation>Informations système</translation>
    </message>
    <message>
        <source>Check for updates</source>
        <translation>Rechercher des mises à jour</translation>
    </message>
    <message>
        <source>Profiles</source>
        <translation>Profils</translation>
    </message>
    <message>
        <source>Content filtering settings</source>
        <translation>Paramètres du filtrage de contenu</translation>
    </message>
    <message>
        <source>Categories of sites, exceptions and aliases</source>
        <translation>Catégories de sites, exceptions et alias</translation>
    </message>
    <message>
        <source>Filtering profiles and local users</source>
        <translation>Profils de filtrage et utilisateurs locaux</translation>
    </message>
    <message>
        <source>Common settings</source>
        <translation>Paramètres généraux</translation>
    </message>
    <message>
        <source>Startup, updates and network connections</source>
        <translation>Démarrage, mises à jour et connexions réseau</translation>
    </message>
    <message>
        <source>Authentication settings</source>
        <translation>Paramètres d’authentification</translation>
    </message>
    <message>
        <source>Your login and password</source>
        <translation>Votre identifiant et votre mot de passe</translation>
    </message>
    <message>
        <source>Your password is incorrect</source>
        <translation>Votre mot de passe est incorrect</translation>
    </message>
    <message>
        <source>Your login or password is incorrect</source>
        <translation>Votre identifiant ou votre mot de passe est incorrect</translation>
    </message>
    <message>
        <source>Active</source>
        <translation>Actif</translation>
    </message>
</context>
</TS>