<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="es">
<context>
    <name>Agent</name>
    <message>
        <source>%1 Agent</source>
        <translation>%1 Agent</translation>
    </message>
    <message>
        <source>Can't connect to the %1 system service</source>
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
        <source>Can't reach %1</source>
        <translation>No se puede contactar con %1</translation>
    </message>
    <message>
        <source>A %1 system service error</source>
        <translation>Error del servicio del sistema de %1</translation>
    </message>
    <message>
        <source>The service part of %1 Agent doesn't work. Probably the service is still starting. If it doesn't start in a minute try to start it manually. Notice, %1 Agent doesn't work without this service.</source>
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
        <source>%1 Agent can't retrieve the information about internet connections on this computer. Probably the computer is disconnected from the internet or the type of your connection isn't supported by the Agent yet.</source>
        <translation>%1 Agent no puede obtener información sobre las conexiones a Internet de este equipo. Probablemente el equipo está desconectado de Internet o el agente aún no admite su tipo de conexión.</translation>
    </message>
    <message>
        <source>Filtering isn't activated on any of network connections. To activate it, click on the Settings button.</source>
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
        <source>Can't set up identification of this computer on service</source>
        <translation>No se puede configurar la identificación de este equipo en el servicio</translation>
    </message>
    <message>
        <source>Start filtering</source>
        <translation>Iniciar el filtrado</translation>
    </message>
</context>
<context>
    <name>AppUpdater</name>
    <message>
        <source>Latest version is installed</source>
        <translation>La última versión está instalada</translation>
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
        <source>&lt;a href="https://my.corvane.example/password-recovery"&gt;Forgot my password&lt;/a&gt;</source>
        <translation>&lt;a href="https://my.corvane.example/password-recovery"&gt;Olvidé mi contraseña&lt;/a&gt;</translation>
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
        <source>&lt;a href="https://my.corvane.example/signup"&gt;No account?&lt;/a&gt;</source>
        <translation>&lt;a href="https://my.corvane.example/signup"&gt;¿No tiene cuenta?&lt;/a&gt;</translation>
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
</context>
</TS>