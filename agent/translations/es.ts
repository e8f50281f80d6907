<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es">
<context>
    <name>Agent</name>
    <message>
        <source>%1 Agent</source>
        <translation>%1 Agent</translation>
    </message>
    <message>
        <source>Can&apos;t connect to the %1 system service</source>
        <translation>No se puede conectar con el servicio del sistema de %1</translation>
    </message>
    <message>
        <source>The connection to the %1 system service was lost</source>
        <translation>Se perdió la conexión con el servicio del sistema de %1</translation>
    </message>
    <message>
        <source>Enter your password to access Agent settings</source>
        <translation>Introduzca su contraseña para acceder a la configuración del agente</translation>
    </message>
    <message>
        <source>Enter your password to stop filtering</source>
        <translation>Introduzca su contraseña para detener el filtrado</translation>
    </message>
    <message>
        <source>Enter your password to set the active profile</source>
        <translation>Introduzca su contraseña para elegir el perfil activo</translation>
    </message>
    <message>
        <source>Enter your password to uninstall %1</source>
        <translation>Introduzca su contraseña para desinstalar %1</translation>
    </message>
    <message>
        <source>Can&apos;t reach %1</source>
        <translation>No se puede contactar con %1</translation>
    </message>
    <message>
        <source>A %1 system service error</source>
        <translation>Error del servicio del sistema de %1</translation>
    </message>
    <message>
        <source>The service part of %1 Agent doesn&apos;t work. Probably the service is still starting. If it doesn&apos;t start in a minute try to start it manually. Notice, %1 Agent doesn&apos;t work without this service.</source>
        <translation>La parte de servicio de %1 Agent no funciona. Probablemente el servicio aún se está iniciando. Si no se inicia en un minuto, intente iniciarlo manualmente. %1 Agent no funciona sin este servicio.</translation>
    </message>
    <message>
        <source>Connecting to the %1 system service...</source>
        <translation>Conectando con el servicio del sistema de %1...</translation>
    </message>
    <message>
        <source>The %1 system service is successfully connected and now waiting for the end of initialization steps</source>
        <translation>El servicio del sistema de %1 está conectado y espera el final de la inicialización</translation>
    </message>
    <message>
        <source>Identification failed</source>
        <translation>Error de identificación</translation>
    </message>
    <message>
        <source>Filtering is disabled</source>
        <translation>El filtrado está desactivado</translation>
    </message>
    <message>
        <source>%1 Agent can&apos;t retrieve the information about internet connections on this computer. Probably the computer is disconnected from the internet or the type of your connection isn&apos;t supported by the Agent yet.</source>
        <translation>%1 Agent no puede obtener información sobre las conexiones a Internet de este equipo. Probablemente el equipo está desconectado de Internet o el agente aún no admite su tipo de conexión.</translation>
    </message>
    <message>
        <source>Filtering isn&apos;t activated on any of network connections. To activate it, click on the Settings button.</source>
        <translation>El filtrado no está activado en ninguna conexión de red. Para activarlo, haga clic en el botón Configuración.</translation>
    </message>
    <message>
        <source>Filtering is turned off</source>
        <translation>El filtrado está apagado</translation>
    </message>
    <message>
        <source>To turn on filtering, click the button in the bottom left corner</source>
        <translation>Para activar el filtrado, haga clic en el botón de la esquina inferior izquierda</translation>
    </message>
    <message>
        <source>The internet is under control</source>
        <translation>Internet está bajo control</translation>
    </message>
    <message>
        <source>This computer is successfully connected to the service and is filtered according to your account settings</source>
        <translation>Este equipo está conectado al servicio y se filtra según la configuración de su cuenta</translation>
    </message>
    <message>
        <source>Can&apos;t set up identification of this computer on service</source>
        <translation>No se puede configurar la identificación de este equipo en el servicio</translation>
    </message>
    <message>
        <source>Start filtering</source>
        <translation>Iniciar el filtrado</translation>
    </message>
    <message>
        <source>Filtering settings aren&apos;t available right now</source>
        <translation>La configuración de filtrado no está disponible en este momento</translation>
    </message>
    <message>
        <source>Collecting information is in progress. This can take up to 2 minutes.</source>
        <translation>Se está recopilando la información. Puede tardar hasta 2 minutos.</translation>
    </message>
</context>
<context>
    <name>AppUpdater</name>
    <message>
        <source>Latest version is installed</source>
        <translation>La última versión está instalada</translation>
    </message>
    <message>
        <source>%1 Agent</source>
        <translation>%1 Agent</translation>
    </message>
    <message>
        <source>The update location answered with HTTP status %1</source>
        <translation>La ubicación de actualizaciones respondió con el estado HTTP %1</translation>
    </message>
    <message>
        <source>The address %1 is not secure: updates come only from https addresses</source>
        <translation>La dirección %1 no es segura: las actualizaciones solo llegan de direcciones https</translation>
    </message>
    <message>
        <source>Invalid download url</source>
        <translation>Dirección de descarga no válida</translation>
    </message>
    <message>
        <source>The installer is larger than %1 MiB</source>
        <translation>El instalador ocupa más de %1 MiB</translation>
    </message>
    <message>
        <source>Downloading the update</source>
        <translation>Descargando la actualización</translation>
    </message>
</context>
<context>
    <name>FilterSettingsPage</name>
    <message>
        <source>Categories</source>
        <translation>Categorías</translation>
    </message>
    <message>
        <source>Check the categories of sites to block</source>
        <translation>Marque las categorías de sitios que se bloquean</translation>
    </message>
    <message>
        <source>Categories can&apos;t be changed while the White List only is used</source>
        <translation>Las categorías no se pueden cambiar mientras solo se usa la lista blanca</translation>
    </message>
    <message>
        <source>White and black lists</source>
        <translation>Listas blanca y negra</translation>
    </message>
    <message>
        <source>White list</source>
        <translation>Lista blanca</translation>
    </message>
    <message>
        <source>Sites that are never blocked</source>
        <translation>Sitios que nunca se bloquean</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Añadir</translation>
    </message>
    <message>
        <source>Black list</source>
        <translation>Lista negra</translation>
    </message>
    <message>
        <source>Sites that are always blocked</source>
        <translation>Sitios que siempre se bloquean</translation>
    </message>
    <message>
        <source>Aliases</source>
        <translation>Alias</translation>
    </message>
    <message>
        <source>A domain of the alias list resolves to the address you give it</source>
        <translation>Un dominio de la lista de alias se resuelve a la dirección que indique</translation>
    </message>
    <message>
        <source>Schedule</source>
        <translation>Horario</translation>
    </message>
    <message>
        <source>Use the schedule</source>
        <translation>Usar el horario</translation>
    </message>
    <message>
        <source>Hours in green: the profile filters. The hours are set on the account site.</source>
        <translation>Horas en verde: el perfil filtra. Las horas se fijan en el sitio de la cuenta.</translation>
    </message>
    <message>
        <source>Advanced</source>
        <translation>Avanzado</translation>
    </message>
    <message>
        <source>Use the White List only</source>
        <translation>Usar solo la lista blanca</translation>
    </message>
    <message>
        <source>Block unknown sites</source>
        <translation>Bloquear sitios desconocidos</translation>
    </message>
    <message>
        <source>Force Safe Search</source>
        <translation>Forzar SafeSearch</translation>
    </message>
    <message>
        <source>Force Restricted Mode for YouTube</source>
        <translation>Forzar el modo restringido de YouTube</translation>
    </message>
</context>
<context>
    <name>MessageDialog</name>
    <message>
        <source>Close</source>
        <translation>Cerrar</translation>
    </message>
</context>
<context>
    <name>ProfilesSettingsPage</name>
    <message>
        <source>Profiles</source>
        <translation>Perfiles</translation>
    </message>
    <message>
        <source>Name of a new profile</source>
        <translation>Nombre de un perfil nuevo</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Añadir</translation>
    </message>
    <message>
        <source>Local users</source>
        <translation>Usuarios locales</translation>
    </message>
    <message>
        <source>Bind local users to profiles</source>
        <translation>Vincular usuarios locales a perfiles</translation>
    </message>
    <message>
        <source>The profile of the user who logs in at this computer becomes the active one</source>
        <translation>El perfil del usuario que inicia sesión en este equipo pasa a ser el activo</translation>
    </message>
</context>
<context>
    <name>SystemInformationDialog</name>
    <message>
        <source>System information</source>
        <translation>Información del sistema</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Guardar</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>No file name was given</source>
        <translation>No se indicó ningún nombre de archivo</translation>
    </message>
    <message>
        <source>Save system information</source>
        <translation>Guardar la información del sistema</translation>
    </message>
    <message>
        <source>Text Files (*.txt)</source>
        <translation>Archivos de texto (*.txt)</translation>
    </message>
    <message>
        <source>The report cannot be saved to %1: %2</source>
        <translation>No se puede guardar el informe en %1: %2</translation>
    </message>
</context>
<context>
    <name>TrayIcon</name>
    <message>
        <source>Stop filtering</source>
        <translation>Detener el filtrado</translation>
    </message>
    <message>
        <source>Until start or reboot</source>
        <translation>Hasta el inicio o el reinicio</translation>
    </message>
    <message>
        <source>10 minutes</source>
        <translation>10 minutos</translation>
    </message>
    <message>
        <source>30 minutes</source>
        <translation>30 minutos</translation>
    </message>
    <message>
        <source>1 hour</source>
        <translation>1 hora</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Salir</translation>
    </message>
</context>
<context>
    <name>UserProfileMappingModel</name>
    <message>
        <source>Local user</source>
        <translation>Usuario local</translation>
    </message>
    <message>
        <source>Profile</source>
        <translation>Perfil</translation>
    </message>
</context>
<context>
    <name>Window</name>
    <message>
        <source>Minimize</source>
        <translation>Minimizar</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Cerrar</translation>
    </message>
    <message>
        <source>Home</source>
        <translation>Inicio</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Configuración</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Ayuda</translation>
    </message>
    <message>
        <source>Filtering</source>
        <translation>Filtrado</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Contraseña</translation>
    </message>
    <message>
        <source>&lt;a href=&quot;https://my.corvane.example/password-recovery&quot;&gt;Forgot my password&lt;/a&gt;</source>
        <translation>&lt;a href=&quot;https://my.corvane.example/password-recovery&quot;&gt;Olvidé mi contraseña&lt;/a&gt;</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>Unlock</source>
        <translation>Desbloquear</translation>
    </message>
    <message>
        <source>Email</source>
        <translation>Correo electrónico</translation>
    </message>
    <message>
        <source>Sign in</source>
        <translation>Iniciar sesión</translation>
    </message>
    <message>
        <source>&lt;a href=&quot;https://my.corvane.example/signup&quot;&gt;No account?&lt;/a&gt;</source>
        <translation>&lt;a href=&quot;https://my.corvane.example/signup&quot;&gt;¿No tiene cuenta?&lt;/a&gt;</translation>
    </message>
    <message>
        <source>General</source>
        <translation>General</translation>
    </message>
    <message>
        <source>Protect settings with password</source>
        <translation>Proteger la configuración con contraseña</translation>
    </message>
    <message>
        <source>Show Agent icon in the system tray</source>
        <translation>Mostrar el icono del agente en la bandeja del sistema</translation>
    </message>
    <message>
        <source>Automatically check for updates</source>
        <translation>Buscar actualizaciones automáticamente</translation>
    </message>
    <message>
        <source>Network connections</source>
        <translation>Conexiones de red</translation>
    </message>
    <message>
        <source>Protected network connections</source>
        <translation>Conexiones de red protegidas</translation>
    </message>
    <message>
        <source>Advanced</source>
        <translation>Avanzado</translation>
    </message>
    <message>
        <source>DNS server</source>
        <translation>Servidor DNS</translation>
    </message>
    <message>
        <source>Use</source>
        <translation>Usar</translation>
    </message>
    <message>
        <source>Phone</source>
        <translation>Teléfono</translation>
    </message>
    <message>
        <source>Website</source>
        <translation>Sitio web</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>Versión</translation>
    </message>
    <message>
        <source>To make the work of technical support more effective please send a system information report with a description of your problem</source>
        <translation>Para que el soporte técnico sea más eficaz, envíe un informe de información del sistema con una descripción de su problema</translation>
    </message>
    <message>
        <source>Manual</source>
        <translation>Manual</translation>
    </message>
    <message>
        <source>Get support</source>
        <translation>Obtener soporte</translation>
    </message>
    <message>
        <source>System information</source>
        <translation>Información del sistema</translation>
    </message>
    <message>
        <source>Check for updates</source>
        <translation>Buscar actualizaciones</translation>
    </message>
    <message>
        <source>Profiles</source>
        <translation>Perfiles</translation>
    </message>
    <message>
        <source>Content filtering settings</source>
        <translation>Configuración del filtrado de contenido</translation>
    </message>
    <message>
        <source>Categories of sites, exceptions and aliases</source>
        <translation>Categorías de sitios, excepciones y alias</translation>
    </message>
    <message>
        <source>Filtering profiles and local users</source>
        <translation>Perfiles de filtrado y usuarios locales</translation>
    </message>
    <message>
        <source>Common settings</source>
        <translation>Configuración general</translation>
    </message>
    <message>
        <source>Startup, updates and network connections</source>
        <translation>Inicio, actualizaciones y conexiones de red</translation>
    </message>
    <message>
        <source>Authentication settings</source>
        <translation>Configuración de autenticación</translation>
    </message>
    <message>
        <source>Your login and password</source>
        <translation>Su usuario y contraseña</translation>
    </message>
    <message>
        <source>Your password is incorrect</source>
        <translation>Su contraseña es incorrecta</translation>
    </message>
    <message>
        <source>Your login or password is incorrect</source>
        <translation>Su usuario o contraseña es incorrecto</translation>
    </message>
    <message>
        <source>Active</source>
        <translation>Activo</translation>
    </message>
    <message>
        <source>Do you really want to delete %1 profile?</source>
        <translation>¿Seguro que quiere eliminar el perfil %1?</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Sí</translation>
    </message>
    <message>
        <source>No</source>
        <translation>No</translation>
    </message>
    <message>
        <source>Details</source>
        <translation>Detalles</translation>
    </message>
    <message>
        <source>Install</source>
        <translation>Instalar</translation>
    </message>
    <message>
        <source>Hide</source>
        <translation>Ocultar</translation>
    </message>
    <message>
        <source>This update comes through the system&apos;s software updates</source>
        <translation>Esta actualización llega por las actualizaciones de software del sistema</translation>
    </message>
    <message>
        <source>A new version of %1 (%2) is available</source>
        <translation>Hay una nueva versión de %1 (%2) disponible</translation>
    </message>
    <message>
        <source>The profile whose settings are shown</source>
        <translation>El perfil cuya configuración se muestra</translation>
    </message>
</context>
</TS>
