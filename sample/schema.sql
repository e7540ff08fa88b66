-- Objects of the demo business database, run once into an empty database.

create schema lysglb;

-- Ids that differ only by letter case may coexist, so there is no unique key
-- on (entity, toggleid); lookups go through the case-folded index instead.
create table lysglb.toggles (
    entity       integer     not null,
    toggleid     varchar(60) not null,
    togglevalue  text,
    toggle_group varchar(30),
    changed_at   timestamptz default now(),
    changed_by   text        default current_user
);

create index toggles_entity_lower_id on lysglb.toggles (entity, lower(toggleid));

create table lysglb.mpy (
    fdid        integer primary key,
    description varchar(120),
    vat_number  varchar(20),
    country     char(2)
);

-- Writes one toggle for one company and returns the number of rows touched.
-- The client sends booleans as 'True'/'False'; the store keeps -1/0.
create function lysglb.update_toggles(p_entity integer, p_name text, p_value text)
returns integer
language plpgsql
as $$
declare
    v_value   text := p_value;
    v_touched integer;
begin
    if upper(p_name) in ('SMTP_SMTPAUTH', 'SMTP_USESSL', 'SMTP_REPLYTOUSER') then
        if p_value = 'True' then
            v_value := '-1';
        elsif p_value = 'False' then
            v_value := '0';
        end if;
    end if;

    update lysglb.toggles
       set togglevalue = v_value,
           changed_at  = now(),
           changed_by  = current_user
     where entity = p_entity
       and upper(toggleid) = upper(p_name);
    get diagnostics v_touched = row_count;

    if v_touched = 0 then
        -- New ids are stored upper-cased, except the TLS type whose canonical
        -- id has always been mixed case.
        insert into lysglb.toggles (entity, toggleid, togglevalue)
        values (p_entity,
                case when upper(p_name) = 'SMTP_TLSTYPE' then 'SMTP_TLSType' else upper(p_name) end,
                v_value);
        v_touched := 1;
    end if;

    return v_touched;
end;
$$;
