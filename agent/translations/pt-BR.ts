<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pt_BR">
<context>
    <name>Agent</name>
    <message>
        <source>%1 Agent</source>
        <translation>%1 Agent</translation>
    </message>
    <message>
        <source>Can&apos;t connect to the %1 system service</source>
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
        <source>Can&apos;t reach %1</source>
        <translation>Não é possível acessar o %1</translation>
    </message>
    <message>
        <source>A %1 system service error</source>
        <translation>Erro no serviço do sistema %1</translation>
    </message>
    <message>
        <source>The service part of %1 Agent doesn&apos;t work. Probably the service is still starting. If it doesn&apos;t start in a minute try to start it manually. Notice, %1 Agent doesn&apos;t work without this service.</source>
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
        <source>%1 Agent can&apos;t retrieve the information about internet connections on this computer. Probably the computer is disconnected from the internet or the type of your connection isn&apos;t supported by the Agent yet.</source>
        <translation>O %1 Agent não consegue obter informações sobre as conexões de internet deste computador. Provavelmente o computador está desconectado da internet ou o seu tipo de conexão ainda não é compatível com o agente.</translation>
    </message>
    <message>
        <source>Filtering isn&apos;t activated on any of network connections. To activate it, click on the Settings button.</source>
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
        <source>Can&apos;t set up identification of this computer on service</source>
        <translation>Não é possível configurar a identificação deste computador no serviço</translation>
    </message>
    <message>
        <source>Start filtering</source>
        <translation>Iniciar a filtragem</translation>
    </message>
    <message>
        <source>Filtering settings aren&apos;t available right now</source>
        <translation>As configurações de filtragem não estão disponíveis no momento</translation>
    </message>
    <message>
        <source>Collecting information is in progress. This can take up to 2 minutes.</source>
        <translation>Coletando informações. Isso pode levar até 2 minutos.</translation>
    </message>
</context>
<context>
    <name>AppUpdater</name>
    <message>
        <source>Latest version is installed</source>
        <translation>A versão mais recente está instalada</translation>
    </message>
    <message>
        <source>%1 Agent</source>
        <translation>%1 Agent</translation>
    </message>
    <message>
        <source>The update location answered with HTTP status %1</source>
        <translation>O local de atualizações respondeu com o status HTTP %1</translation>
    </message>
    <message>
        <source>The address %1 is not secure: updates come only from https addresses</source>
        <translation>O endereço %1 não é seguro: as atualizações só vêm de endereços https</translation>
    </message>
    <message>
        <source>Invalid download url</source>
        <translation>Endereço de download inválido</translation>
    </message>
    <message>
        <source>The installer is larger than %1 MiB</source>
        <translation>O instalador tem mais de %1 MiB</translation>
    </message>
    <message>
        <source>Downloading the update</source>
        <translation>Baixando a atualização</translation>
    </message>
</context>
<context>
    <name>FilterSettingsPage</name>
    <message>
        <source>Categories</source>
        <translation>Categorias</translation>
    </message>
    <message>
        <source>Check the categories of sites to block</source>
        <translation>Marque as categorias de sites a bloquear</translation>
    </message>
    <message>
        <source>Categories can&apos;t be changed while the White List only is used</source>
        <translation>As categorias não podem ser alteradas enquanto apenas a lista branca é usada</translation>
    </message>
    <message>
        <source>White and black lists</source>
        <translation>Listas branca e negra</translation>
    </message>
    <message>
        <source>White list</source>
        <translation>Lista branca</translation>
    </message>
    <message>
        <source>Sites that are never blocked</source>
        <translation>Sites que nunca são bloqueados</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Adicionar</translation>
    </message>
    <message>
        <source>Black list</source>
        <translation>Lista negra</translation>
    </message>
    <message>
        <source>Sites that are always blocked</source>
        <translation>Sites que sempre são bloqueados</translation>
    </message>
    <message>
        <source>Aliases</source>
        <translation>Aliases</translation>
    </message>
    <message>
        <source>A domain of the alias list resolves to the address you give it</source>
        <translation>Um domínio da lista de aliases é resolvido para o endereço que você informar</translation>
    </message>
    <message>
        <source>Schedule</source>
        <translation>Agenda</translation>
    </message>
    <message>
        <source>Use the schedule</source>
        <translation>Usar a agenda</translation>
    </message>
    <message>
        <source>Hours in green: the profile filters. The hours are set on the account site.</source>
        <translation>Horas em verde: o perfil filtra. Os horários são definidos no site da conta.</translation>
    </message>
    <message>
        <source>Advanced</source>
        <translation>Avançado</translation>
    </message>
    <message>
        <source>Use the White List only</source>
        <translation>Usar apenas a lista branca</translation>
    </message>
    <message>
        <source>Block unknown sites</source>
        <translation>Bloquear sites desconhecidos</translation>
    </message>
    <message>
        <source>Force Safe Search</source>
        <translation>Forçar o SafeSearch</translation>
    </message>
    <message>
        <source>Force Restricted Mode for YouTube</source>
        <translation>Forçar o modo restrito do YouTube</translation>
    </message>
</context>
<context>
    <name>MessageDialog</name>
    <message>
        <source>Close</source>
        <translation>Fechar</translation>
    </message>
</context>
<context>
    <name>ProfilesSettingsPage</name>
    <message>
        <source>Profiles</source>
        <translation>Perfis</translation>
    </message>
    <message>
        <source>Name of a new profile</source>
        <translation>Nome de um novo perfil</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Adicionar</translation>
    </message>
    <message>
        <source>Local users</source>
        <translation>Usuários locais</translation>
    </message>
    <message>
        <source>Bind local users to profiles</source>
        <translation>Vincular usuários locais a perfis</translation>
    </message>
    <message>
        <source>The profile of the user who logs in at this computer becomes the active one</source>
        <translation>O perfil do usuário que entra neste computador passa a ser o ativo</translation>
    </message>
</context>
<context>
    <name>SystemInformationDialog</name>
    <message>
        <source>System information</source>
        <translation>Informações do sistema</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Salvar</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>No file name was given</source>
        <translation>Nenhum nome de arquivo foi informado</translation>
    </message>
    <message>
        <source>Save system information</source>
        <translation>Salvar informações do sistema</translation>
    </message>
    <message>
        <source>Text Files (*.txt)</source>
        <translation>Arquivos de texto (*.txt)</translation>
    </message>
    <message>
        <source>The report cannot be saved to %1: %2</source>
        <translation>Não é possível salvar o relatório em %1: %2</translation>
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
    <name>UserProfileMappingModel</name>
    <message>
        <source>Local user</source>
        <translation>Usuário local</translation>
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
        <source>&lt;a href=&quot;https://my.corvane.example/password-recovery&quot;&gt;Forgot my password&lt;/a&gt;</source>
        <translation>&lt;a href=&quot;https://my.corvane.example/password-recovery&quot;&gt;Esqueci minha senha&lt;/a&gt;</translation>
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
        <source>&lt;a href=&quot;https://my.corvane.example/signup&quot;&gt;No account?&lt;/a&gt;</source>
        <translation>&lt;a href=&quot;https://my.corvane.example/signup&quot;&gt;Não tem conta?&lt;/a&gt;</translation>
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
    <message>
        <source>Do you really want to delete %1 profile?</source>
        <translation>Deseja mesmo excluir o perfil %1?</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Sim</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Não</translation>
    </message>
    <message>
        <source>Details</source>
        <translation>Detalhes</translation>
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
        <translation>Esta atualização chega pelas atualizações de software do sistema</translation>
    </message>
    <message>
        <source>A new version of %1 (%2) is available</source>
        <translation>Uma nova versão de %1 (%2) está disponível</translation>
    </message>
    <message>
        <source>The profile whose settings are shown</source>
        <translation>O perfil cujas configurações são exibidas</translation>
    </message>
</context>
</TS>
