<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>Agent</name>
    <message>
        <source>%1 Agent</source>
        <translation>%1 Agent</translation>
    </message>
    <message>
        <source>Can&apos;t connect to the %1 system service</source>
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
        <source>Can&apos;t reach %1</source>
        <translation>Impossible de joindre %1</translation>
    </message>
    <message>
        <source>A %1 system service error</source>
        <translation>Erreur du service système %1</translation>
    </message>
    <message>
        <source>The service part of %1 Agent doesn&apos;t work. Probably the service is still starting. If it doesn&apos;t start in a minute try to start it manually. Notice, %1 Agent doesn&apos;t work without this service.</source>
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
        <source>%1 Agent can&apos;t retrieve the information about internet connections on this computer. Probably the computer is disconnected from the internet or the type of your connection isn&apos;t supported by the Agent yet.</source>
        <translation>%1 Agent ne parvient pas à obtenir les informations sur les connexions Internet de cet ordinateur. L’ordinateur est probablement déconnecté d’Internet, ou votre type de connexion n’est pas encore pris en charge par l’agent.</translation>
    </message>
    <message>
        <source>Filtering isn&apos;t activated on any of network connections. To activate it, click on the Settings button.</source>
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
        <source>Can&apos;t set up identification of this computer on service</source>
        <translation>Impossible de configurer l’identification de cet ordinateur auprès du service</translation>
    </message>
    <message>
        <source>Start filtering</source>
        <translation>Démarrer le filtrage</translation>
    </message>
    <message>
        <source>Filtering settings aren&apos;t available right now</source>
        <translation>Les paramètres de filtrage ne sont pas disponibles pour le moment</translation>
    </message>
    <message>
        <source>Collecting information is in progress. This can take up to 2 minutes.</source>
        <translation>Collecte des informations en cours. Cela peut prendre jusqu&apos;à 2 minutes.</translation>
    </message>
</context>
<context>
    <name>AppUpdater</name>
    <message>
        <source>Latest version is installed</source>
        <translation>La dernière version est installée</translation>
    </message>
    <message>
        <source>%1 Agent</source>
        <translation>%1 Agent</translation>
    </message>
    <message>
        <source>The update location answered with HTTP status %1</source>
        <translation>L&apos;emplacement des mises à jour a répondu avec le statut HTTP %1</translation>
    </message>
    <message>
        <source>The address %1 is not secure: updates come only from https addresses</source>
        <translation>L&apos;adresse %1 n&apos;est pas sûre : les mises à jour ne viennent que d&apos;adresses https</translation>
    </message>
    <message>
        <source>Invalid download url</source>
        <translation>Adresse de téléchargement non valide</translation>
    </message>
    <message>
        <source>The installer is larger than %1 MiB</source>
        <translation>Le programme d&apos;installation dépasse %1 Mio</translation>
    </message>
    <message>
        <source>Downloading the update</source>
        <translation>Téléchargement de la mise à jour</translation>
    </message>
</context>
<context>
    <name>FilterSettingsPage</name>
    <message>
        <source>Categories</source>
        <translation>Catégories</translation>
    </message>
    <message>
        <source>Check the categories of sites to block</source>
        <translation>Cochez les catégories de sites à bloquer</translation>
    </message>
    <message>
        <source>Categories can&apos;t be changed while the White List only is used</source>
        <translation>Les catégories ne peuvent pas être modifiées tant que seule la liste blanche est utilisée</translation>
    </message>
    <message>
        <source>White and black lists</source>
        <translation>Listes blanche et noire</translation>
    </message>
    <message>
        <source>White list</source>
        <translation>Liste blanche</translation>
    </message>
    <message>
        <source>Sites that are never blocked</source>
        <translation>Sites jamais bloqués</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Ajouter</translation>
    </message>
    <message>
        <source>Black list</source>
        <translation>Liste noire</translation>
    </message>
    <message>
        <source>Sites that are always blocked</source>
        <translation>Sites toujours bloqués</translation>
    </message>
    <message>
        <source>Aliases</source>
        <translation>Alias</translation>
    </message>
    <message>
        <source>A domain of the alias list resolves to the address you give it</source>
        <translation>Un domaine de la liste d&apos;alias est résolu vers l&apos;adresse que vous indiquez</translation>
    </message>
    <message>
        <source>Schedule</source>
        <translation>Horaires</translation>
    </message>
    <message>
        <source>Use the schedule</source>
        <translation>Utiliser les horaires</translation>
    </message>
    <message>
        <source>Hours in green: the profile filters. The hours are set on the account site.</source>
        <translation>Heures en vert : le profil filtre. Les horaires se règlent sur le site du compte.</translation>
    </message>
    <message>
        <source>Advanced</source>
        <translation>Avancé</translation>
    </message>
    <message>
        <source>Use the White List only</source>
        <translation>Utiliser uniquement la liste blanche</translation>
    </message>
    <message>
        <source>Block unknown sites</source>
        <translation>Bloquer les sites inconnus</translation>
    </message>
    <message>
        <source>Force Safe Search</source>
        <translation>Forcer SafeSearch</translation>
    </message>
    <message>
        <source>Force Restricted Mode for YouTube</source>
        <translation>Forcer le mode restreint de YouTube</translation>
    </message>
</context>
<context>
    <name>MessageDialog</name>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
</context>
<context>
    <name>ProfilesSettingsPage</name>
    <message>
        <source>Profiles</source>
        <translation>Profils</translation>
    </message>
    <message>
        <source>Name of a new profile</source>
        <translation>Nom d&apos;un nouveau profil</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Ajouter</translation>
    </message>
    <message>
        <source>Local users</source>
        <translation>Utilisateurs locaux</translation>
    </message>
    <message>
        <source>Bind local users to profiles</source>
        <translation>Associer les utilisateurs locaux aux profils</translation>
    </message>
    <message>
        <source>The profile of the user who logs in at this computer becomes the active one</source>
        <translation>Le profil de l&apos;utilisateur qui ouvre une session sur cet ordinateur devient le profil actif</translation>
    </message>
</context>
<context>
    <name>SystemInformationDialog</name>
    <message>
        <source>System information</source>
        <translation>Informations système</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Enregistrer</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>No file name was given</source>
        <translation>Aucun nom de fichier n&apos;a été indiqué</translation>
    </message>
    <message>
        <source>Save system information</source>
        <translation>Enregistrer les informations système</translation>
    </message>
    <message>
        <source>Text Files (*.txt)</source>
        <translation>Fichiers texte (*.txt)</translation>
    </message>
    <message>
        <source>The report cannot be saved to %1: %2</source>
        <translation>Le rapport ne peut pas être enregistré dans %1 : %2</translation>
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
    <name>UserProfileMappingModel</name>
    <message>
        <source>Local user</source>
        <translation>Utilisateur local</translation>
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
        <source>&lt;a href=&quot;https://my.corvane.example/password-recovery&quot;&gt;Forgot my password&lt;/a&gt;</source>
        <translation>&lt;a href=&quot;https://my.corvane.example/password-recovery&quot;&gt;Mot de passe oublié&lt;/a&gt;</translation>
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
        <source>&lt;a href=&quot;https://my.corvane.example/signup&quot;&gt;No account?&lt;/a&gt;</source>
        <translation>&lt;a href=&quot;https://my.corvane.example/signup&quot;&gt;Pas de compte ?&lt;/a&gt;</translation>
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
    <message>
        <source>Do you really want to delete %1 profile?</source>
        <translation>Voulez-vous vraiment supprimer le profil %1 ?</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Oui</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Non</translation>
    </message>
    <message>
        <source>Details</source>
        <translation>Détails</translation>
    </message>
    <message>
        <source>Install</source>
        <translation>Installer</translation>
    </message>
    <message>
        <source>Hide</source>
        <translation>Masquer</translation>
    </message>
    <message>
        <source>This update comes through the system&apos;s software updates</source>
        <translation>Cette mise à jour arrive par les mises à jour logicielles du système</translation>
    </message>
    <message>
        <source>A new version of %1 (%2) is available</source>
        <translation>Une nouvelle version de %1 (%2) est disponible</translation>
    </message>
    <message>
        <source>The profile whose settings are shown</source>
        <translation>Le profil dont les paramètres sont affichés</translation>
    </message>
</context>
</TS>
