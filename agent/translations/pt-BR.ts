<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="pt_BR">
<context>
    <name>Agent</name>
    <message>
        <source>%1 Agent</source>
        <translation>%1 Agent</translation>
    </message>
    <message>
        <source>Can't connect to the %1 system service</source>
        <translation>Não é possível conectar ao serviço do sistema %1</translation>
    </message>
    <message>
        <source>The connection to the %1 system service was lost</source>
        <translation>A conexão com o serviço do sistema %1 foi perdida</translation>
    </message>
    <message>
        <source>Enter your password to access Agent settings</source>
        <translation>Digite sua senha para acessar as configurações do agente</translation>
    </message>
    <message>
        <source>Enter your password to stop filtering</source>
        <translation>Digite sua senha para interromper a filtragem</translation>
    </message>
    <message>
        <source>Enter your password to set the active profile</source>
        <translation>Digite sua senha para definir o perfil ativo</translation>
    </message>
    <message>
        <source>Enter your password to uninstall %1</source>
        <translation>Digite sua senha para desinstalar o %1</translation>
    </message>
    <message>
        <source>Can't reach %1</source>
        <translation>Não é possível acessar o %1</translation>
    </message>
    <message>
        <source>A %1 system service error</source>
        <translation>Erro no serviço do sistema %1</translation>
    </message>
    <message>
        <source>The service part of %1 Agent doesn't work. Probably the service is still starting. If it doesn't start in a minute try to start it manually. Notice, %1 Agent doesn't work without this service.</source>
        <translation>A parte de serviço do %1 Agent não está funcionando. Provavelmente o serviço ainda está iniciando. Se não iniciar em um minuto, tente iniciá-lo manualmente. O %1 Agent não funciona sem esse serviço.</translation>
    </message>
    <message>
        <source>Connecting to the %1 system service...</source>
        <translation>Conectando ao serviço do sistema %1...</translation>
    </message>
    <message>
        <source>The %1 system service is successfully connected and now waiting for the end of initialization steps</source>
        <translation>O serviço do sistema %1 está conectado e aguardando o fim da inicialização</translation>
    </message>
    <message>
        <source>Identification failed</source>
        <translation>Falha na identificação</translation>
    </message>
    <message>
        <source>Filtering is disabled</source>
        <translation>A filtragem está desativada</translation>
    </message>
    <message>
        <source>%1 Agent can't retrieve the information about internet connections on this computer. Probably the computer is disconnected from the internet or the type of your connection isn't supported by the Agent yet.</source>
        <translation>O %1 Agent não consegue obter informações sobre as conexões de internet deste computador. Provavelmente o computador está desconectado da internet ou o seu tipo de conexão ainda não é compatível com o agente.</translation>
    </message>
    <message>
        <source>Filtering isn't activated on any of network connections. To activate it, click on the Settings button.</source>
        <translation>A filtragem não está ativada em nenhuma conexão de rede. Para ativá-la, clique no botão Configurações.</translation>
    </message>
    <message>
        <source>Filtering is turned off</source>
        <translation>A filtragem está desligada</translation>
    </message>
    <message>
        <source>To turn on filtering, click the button in the bottom left corner</source>
        <translation>Para ligar a filtragem, clique no botão no canto inferior esquerdo</translation>
    </message>
    <message>
        <source>The internet is under control</source>
        <translation>A internet está sob controle</translation>
    </message>
    <message>
        <source>This computer is successfully connected to the service and is filtered according to your account settings</source>
        <translation>Este computador está conectado ao serviço e é filtrado de acordo com as configurações da sua conta</translation>
    </message>
    <message>
        <source>Can't set up identification of this computer on service</source>
        <translation>Não é possível configurar a identificação deste computador no serviço</translation>
    </message>
    <message>
        <source>Start filtering</source>
        <translation>Iniciar a filtragem</translation>
    </message>
</context>
<context>
    <name>AppUpdater</name>
    <message>
        <source>Latest version is installed</source>
        <translation>A versão mais recente está instalada</translation>
    </message>
</context>
<context>
    <name>TrayIcon</name>
    <message>
        <source>Stop filtering</source>
        <translation>Parar a filtragem</translation>
    </message>
    <message>
        <source>Until start or reboot</source>
        <translation>Até iniciar ou reiniciar</translation>
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
        <translation>Sair</translation>
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
        <translation>Fechar</translation>
    </message>
    <message>
        <source>Home</source>
        <translation>Início</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Configurações</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Ajuda</translation>
    </message>
    <message>
        <source>Filtering</source>
        <translation>Filtragem</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Senha</translation>
    </message>
    <message>
        <source>&lt;a href="https://my.corvane.example/password-recovery"&gt;Forgot my password&lt;/a&gt;</source>
        <translation>&lt;a href="https://my.corvane.example/password-recovery"&gt;Esqueci minha senha&lt;/a&gt;</translation>
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
        <translation>E-mail</translation>
    </message>
    <message>
        <source>Sign in</source>
        <translation>Entrar</translation>
    </message>
    <message>
        <source>&lt;a href="https://my.corvane.example/signup"&gt;No account?&lt;/a&gt;</source>
        <translation>&lt;a href="https://my.corvane.example/signup"&gt;Não tem conta?&lt;/a&gt;</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Geral</translation>
    </message>
    <message>
        <source>Protect settings with password</source>
        <translation>Proteger as configurações com senha</translation>
    </message>
    <message>
        <source>Show Agent icon in the system tray</source>
        <translation>Mostrar o ícone do agente na bandeja do sistema</translation>
    </message>
    <message>
        <source>Automatically check for updates</source>
        <translation>Verificar atualizações automaticamente</translation>
    </message>
    <message>
        <source>Network connections</source>
        <translation>Conexões de rede</translation>
    </message>
    <message>
        <source>Protected network connections</source>
        <translation>Conexões de rede protegidas</translation>
    </message>
    <message>
        <source>Advanced</source>
        <translation>Avançado</translation>
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
        <translation>Telefone</translation>
    </message>
    <message>
        <source>Website</source>
        <translation>Site</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>Versão</translation>
    </message>
    <message>
        <source>To make the work of technical support more effective please send a system information report with a description of your problem</source>
        <translation>Para que o suporte técnico seja mais eficaz, envie um relatório de informações do sistema com uma descrição do seu problema</translation>
    </message>
    <message>
        <source>Manual</source>
        <translation>Manual</translation>
    </message>
    <message>
        <source>Get support</source>
        <translation>Obter suporte</translation>
    </message>
    <message>
        <source>System information</source>
        <translation>Informações do sistema</translation>
    </message>
    <message>
        <source>Check for updates</source>
        <translation>Verificar atualizações</translation>
    </message>
    <message>
        <source>Profiles</source>
        <translation>Perfis</translation>
    </message>
    <message>
        <source>Content filtering settings</source>
        <translation>Configurações de filtragem de conteúdo</translation>
    </message>
    <message>
        <source>Categories of sites, exceptions and aliases</source>
        <translation>Categorias de sites, exceções e aliases</translation>
    </message>
    <message>
        <source>Filtering profiles and local users</source>
        <translation>Perfis de filtragem e usuários locais</translation>
    </message>
    <message>
        <source>Common settings</source>
        <translation>Configurações gerais</translation>
    </message>
    <message>
        <source>Startup, updates and network connections</source>
        <translation>Inicialização, atualizações e conexões de rede</translation>
    </message>
    <message>
        <source>Authentication settings</source>
        <translation>Configurações de autenticação</translation>
    </message>
    <message>
        <source>Your login and password</source>
        <translation>Seu login e senha</translation>
    </message>
    <message>
        <source>Your password is incorrect</source>
        <translation>Sua senha está incorreta</translation>
    </message>
    <message>
        <source>Your login or password is incorrect</source>
        <translation>Seu login ou senha está incorreto</translation>
    </message>
    <message>
        <source>Active</source>
        <translation>Ativo</translation>
    </message>
</context>
</TS>